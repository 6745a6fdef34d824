#include "world/TerrainGrid.h"

#include <cmath>

#include <glm/geometric.hpp>

#include "world/LevelMap.h"

namespace {

glm::vec3 readVec3(const std::vector<float>& array, size_t vertex)
{
    return glm::vec3(array[vertex * 3], array[vertex * 3 + 1], array[vertex * 3 + 2]);
}

} // namespace

void TerrainGrid::buildPositions(const LevelMap& map, float extentX, float heightScale, float extentZ)
{
    columns = map.empty() ? 0 : map.width();
    rows = map.empty() ? 0 : map.height();
    const size_t count = size_t(columns) * rows;
    positions.assign(count * 3, 0.0f);
    normals.clear();
    uvs.clear();
    indices.clear();
    for (unsigned i = 0; i < rows; ++i) {
        for (unsigned j = 0; j < columns; ++j) {
            const glm::vec3 p = map.vertexPosition(i, j, extentX, heightScale, extentZ);
            const size_t v = (size_t(i) * columns + j) * 3;
            positions[v] = p.x;
            positions[v + 1] = p.y;
            positions[v + 2] = p.z;
        }
    }
}

void TerrainGrid::build(const LevelMap& map, float extentX, float heightScale, float extentZ)
{
    buildPositions(map, extentX, heightScale, extentZ);
    const size_t count = size_t(columns) * rows;
    normals.assign(count * 3, 0.0f);
    uvs.assign(count * 3, 0.0f);
    if (count == 0)
        return;

    indices.reserve(size_t(columns - 1) * (rows - 1) * 6);
    for (unsigned i = 0; i + 1 < rows; ++i) {
        for (unsigned j = 0; j + 1 < columns; ++j) {
            const uint32_t a = i * columns + j;
            const uint32_t b = a + 1;
            const uint32_t d = a + columns;
            const uint32_t e = a + columns + 1;
            const uint32_t quad[6] = {a, b, d, d, b, e};
            for (int t = 0; t < 6; t += 3) {
                const glm::vec3 p0 = readVec3(positions, quad[t]);
                const glm::vec3 p1 = readVec3(positions, quad[t + 1]);
                const glm::vec3 p2 = readVec3(positions, quad[t + 2]);
                // Unnormalised, so larger faces weigh more in the vertex normal.
                const glm::vec3 n = glm::cross(p1 - p0, p2 - p0);
                for (int k = 0; k < 3; ++k) {
                    const size_t at = size_t(quad[t + k]) * 3;
                    normals[at] += n.x;
                    normals[at + 1] += n.y;
                    normals[at + 2] += n.z;
                }
                indices.push_back(quad[t]);
                indices.push_back(quad[t + 1]);
                indices.push_back(quad[t + 2]);
            }
        }
    }

    for (size_t v = 0; v < count; ++v) {
        const glm::vec3 n = readVec3(normals, v);
        const float length = glm::length(n);
        // Only a degenerate grid (zero extents) has no face area; keep it up.
        const glm::vec3 unit = length > 0.0f ? n / length : glm::vec3(0.0f, 1.0f, 0.0f);
        normals[v * 3] = unit.x;
        normals[v * 3 + 1] = unit.y;
        normals[v * 3 + 2] = unit.z;
    }

    for (unsigned i = 0; i < rows; ++i) {
        for (unsigned j = 0; j < columns; ++j) {
            const size_t v = (size_t(i) * columns + j) * 3;
            uvs[v] = float(j) / 50.0f;
            uvs[v + 1] = positions[v + 1] / 50.0f;
            uvs[v + 2] = float(i) / 50.0f;
        }
    }
}

glm::vec3 TerrainGrid::position(unsigned i, unsigned j) const
{
    return readVec3(positions, size_t(i) * columns + j);
}

glm::vec3 TerrainGrid::normal(unsigned i, unsigned j) const
{
    return readVec3(normals, size_t(i) * columns + j);
}
