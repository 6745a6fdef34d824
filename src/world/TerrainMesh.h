#pragma once

#include <cstdint>
#include <vector>

#include "render/Mesh.h"
#include "render/ShaderFailure.h"
#include "world/TerrainHorizon.h"
#include "world/TerrainLod.h"

// The terrain's mesh: the full grid in its buffers, drawn in patches whose
// detail falls with distance (see TerrainLod) unless full detail is chosen
// (F10), which draws the whole grid as an ordinary tiled mesh. Patches go to GL
// nearest first, grouped by the lights that can reach them and by whether snow
// can lie on them, and each group is shaded by a variant of the terrain
// program made for its number of lamps, for fog on or off and for ground with
// or without snow, so ground far from every lamp pays nothing for lamps and
// ground too low for snow nothing for the snow texture.
class TerrainMesh : public Mesh {
public:
    // As Mesh; `columns` x `rows` is the grid the arrays hold.
    TerrainMesh(float* positions, float* normals, uint32_t* indices, float* uvs, uint32_t vertexCount,
                uint32_t triangleCount, uint32_t columns, uint32_t rows);
    ~TerrainMesh() override;

    // Builds the variants of the terrain program that are not built yet, with
    // their vertex inputs where `ownProgram` has them; the level build calls
    // it. A broken variant stops it, false with the reason in `failure`,
    // like any strict shader load.
    static bool buildVariants(GLuint ownProgram, ShaderFailure& failure);

    // Screen error allowed for the patches' height error, in pixels. The
    // bound is a worst case (a patch's largest error, seen square on from its
    // nearest point); the pictures stay within a few colour steps of the full
    // grid's. Half a pixel more takes far fewer triangles, but the pictures
    // stray further from the full grid's.
    float tolerance = 1.5f;
    // Ground this close to the eye is always drawn from the full grid.
    float fullDetailDistance = 150.0f;
    // Patches that nearer ground hides are left out (with frustum culling).
    bool hideBehindGround = true;
    // Patches too low for snow are shaded without the snow texture (with a
    // light map).
    bool grassAlone = true;
    // Triangles handed to GL by the last draw with falling detail.
    uint32_t trianglesDrawn = 0;
    TerrainLod lod;

protected:
    void drawTriangles() override;

private:
    struct Group {
        uint64_t lightMask = 0;
        bool grassOnly = false;  // too low for snow
        std::vector<int> skyLights, lamps, lights;
        std::vector<uint32_t> patches;
        size_t firstIndex = 0, indexCount = 0;
    };
    // Whether a baked light map holds the sky's shading of the ground.
    bool hasLightMap() const;
    void drawFullGrid();
    uint64_t lightsReaching(const TerrainLod::Patch& patch) const;
    // The steps of a draw with falling detail, in order: the lights in the
    // terrain's own space; the sky's share of a clear day's light (and which
    // lights are lamps); the patches in the picture; those under the skyline
    // that no lamp reaches; nearest first, without those nearer ground hides;
    // groups by lights and snow; their triangles into the index buffer; and
    // each group drawn by its program.
    void placeLights(const glm::mat4& toTerrain);
    float groundContrast(uint64_t& lampBits) const;
    void collectInPicture(bool cull);
    void markSkyFreeAndUnlit(const glm::vec3& eye, uint64_t lampBits);
    void sortNearFirst(const glm::vec3& eye, bool hideHidden);
    size_t groupByLights(bool baked);
    void uploadTriangles(size_t groupCount);
    void drawGroups(size_t groupCount, bool baked);

    GLuint lodIndexBuffer = 0;
    // Each patch's triangles for the level and neighbour levels of `cacheKeys`.
    std::vector<std::vector<uint32_t>> cachedTriangles;
    std::vector<uint32_t> cacheKeys;
    std::vector<uint32_t> frameIndices;
    std::vector<std::pair<float, uint32_t>> visible;  // distance across, patch
    TerrainHorizon horizon;
    TerrainHorizon skyline;
    std::vector<Group> groups;
    std::vector<glm::vec3> lightPlaces;  // the registry's lights in the terrain's own space
    std::vector<glm::vec3> lightAxes;    // and the way they shine there
};
