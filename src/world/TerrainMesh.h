#pragma once

#include <cstdint>
#include <vector>

#include "render/Mesh.h"
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
    // it. A broken variant ends the game like any strict shader load.
    static void buildVariants(GLuint ownProgram);

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
    void drawTriangles(const glm::mat4& mvp) override;

private:
    struct Group {
        uint64_t lightMask = 0;
        bool grassOnly = false;  // too low for snow
        std::vector<int> skyLights, lamps, lights;
        std::vector<uint32_t> patches;
        size_t firstIndex = 0, indexCount = 0;
    };
    void drawFullGrid(const glm::mat4& mvp);
    uint64_t lightsReaching(const TerrainLod::Patch& patch) const;

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
