#pragma once

#include <cstdint>
#include <vector>

#include <glm/vec3.hpp>

class LevelMap;

// The terrain mesh of a level map, without any GL: one vertex per map pixel
// (mirrored columns, see LevelMap), two triangles per quad, smooth normals and
// the terrain's texture coordinates (j/50, height/50, i/50). The GL terrain
// node uploads these arrays as they are; the collision grid shares positions.
class TerrainGrid
{
public:
    // Rebuilds every array from the map; an empty map leaves the grid empty.
    void build(const LevelMap& map, float extentX, float heightScale, float extentZ);
    // The positions alone, all the collision test needs; the other arrays
    // are left empty.
    void buildPositions(const LevelMap& map, float extentX, float heightScale, float extentZ);

    unsigned vertexCount() const { return columns * rows; }
    unsigned triangleCount() const { return unsigned(indices.size() / 3); }
    glm::vec3 position(unsigned i, unsigned j) const;
    glm::vec3 normal(unsigned i, unsigned j) const;

    unsigned columns = 0; // w: vertices per row
    unsigned rows = 0;    // h
    std::vector<float> positions; // 3 per vertex, vertex (i, j) at index i*columns + j
    std::vector<float> normals;   // 3 per vertex, unit length, pointing up
    std::vector<float> uvs;       // 3 per vertex: j/50, y/50, i/50
    std::vector<uint32_t> indices; // 3 per triangle: (a, b, d), (d, b, e) per quad
};
