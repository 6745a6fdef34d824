#pragma once

#include <cstdint>
#include <vector>

#include <glm/vec3.hpp>

// Level of detail for the terrain grid, without any GL. The grid is cut into
// square patches of PATCH_CELLS quads; a patch is drawn at level L with every
// 2^L-th row and column of the full grid (its own last row and column always
// kept), so all levels index the same full-resolution vertices and keep their
// normals, texture coordinates and light-map positions. Each patch knows, per
// level, how far the surface drawn at that level strays from the full grid in
// height; a patch takes the coarsest level whose error, seen from the eye,
// covers at most the given number of pixels. Where a neighbour is coarser, the
// patch's border is stitched to the neighbour's vertices, so shared edges are
// the same segments on both sides and no crack opens.
class TerrainLod {
public:
    // Smaller patches fit the detail to the ground more closely: 8 cells draw
    // about a third fewer triangles than 16 at the same error, and the
    // software renderer pays for every small triangle a whole block of pixels.
    static constexpr uint32_t PATCH_CELLS = 8;
    static constexpr int LEVELS = 4;  // strides 1 to PATCH_CELLS

    struct Patch {
        uint32_t firstRow = 0, firstColumn = 0;  // vertex rows and columns
        uint32_t lastRow = 0, lastColumn = 0;    // inclusive, shared with the next patch
        glm::vec3 low{0}, high{0};               // bounds in the terrain's own space
        float error[LEVELS] = {};                // height error per level, growing with the level
        int level = 0;                           // chosen by selectLevels
        // Set by the caller for selectLevels: other ground rises behind the
        // patch wherever it is seen, so none of it meets the sky, and no lamp
        // lights it.
        bool skyFreeAndUnlit = false;
    };

    // Cuts the grid (3 floats per vertex, vertex (i, j) at i*columns + j) into
    // patches and measures their errors. A grid without quads has no patches.
    void build(const float* positions, uint32_t columns, uint32_t rows);

    // Chooses every patch's level for an eye at `eye` (terrain space), where
    // one unit at distance 1 spans `pixelsPerRadian` pixels: the coarsest
    // level whose error spans at most `tolerance` pixels. Patches within
    // `fullDetailDistance` of the eye always take the full grid. In fog of
    // `fogPerUnit` (density over range; 0 for none) ground at distance d
    // keeps only exp(-(fogPerUnit d)^2) of its contrast, so its error may
    // span as many more pixels. Likewise ground lit to `groundContrast` (0 to
    // 1) of a clear day's light shows a shift that much fainter; only patches
    // marked skyFreeAndUnlit take it, since an edge against the sky or a
    // lamp's light keeps its contrast.
    void selectLevels(const glm::vec3& eye, float pixelsPerRadian, float tolerance, float fullDetailDistance,
                      float fogPerUnit = 0.0f, float groundContrast = 1.0f);
    // Every patch at level 0.
    void selectFullDetail();

    // Appends the triangles (3 vertex indices each, facing up) of patch `p`
    // at its chosen level, stitched to its neighbours' levels.
    void appendTriangles(size_t p, std::vector<uint32_t>& out) const;
    // The same for a given level of the patch and of its four neighbours
    // (above, below, left, right in rows and columns; -1 where there is none).
    void appendTriangles(size_t p, int level, const int neighbourLevels[4], std::vector<uint32_t>& out) const;
    // The level of the patch beside `p` on side 0 above (lower rows), 1 below,
    // 2 left (lower columns), 3 right; -1 at the grid's border.
    int neighbourLevel(size_t p, int side) const;

    // Height error of patch `p` at `level`: the largest gap between a full
    // grid vertex and the surface drawn at that level beside neighbours of
    // the same level (a stitched border follows the coarser neighbour's edge,
    // whose own error covers it).
    float measureError(size_t p, int level) const;

    // Places for the grid's vertices in a vertex buffer, patch by patch, each
    // patch's rows one after the other (a vertex shared with an earlier patch
    // keeps its place there): entry v is the place of grid vertex v. Software
    // GL reuses a shaded vertex only until another vertex whose index is the
    // same modulo 256 comes along; in grid order, with 512 columns, each row
    // would push out the row before it.
    std::vector<uint32_t> vertexSlots() const;

    // True when `eye` stands over the grid and more than `margin` above every
    // vertex within `margin` of it across.
    bool clearAbove(const glm::vec3& eye, float margin) const;

    const std::vector<Patch>& patches() const { return patchList; }
    std::vector<Patch>& patches() { return patchList; }
    uint32_t patchColumns() const { return patchesAcross; }
    uint32_t patchRows() const { return patchesDown; }

private:
    const float* positions = nullptr;
    uint32_t columns = 0, rows = 0;
    uint32_t patchesAcross = 0, patchesDown = 0;
    std::vector<Patch> patchList;
};
