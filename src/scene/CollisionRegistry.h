#pragma once

#include <cstdint>
#include <vector>

class Node;
class CollisionNode;

// The terrain's height grid and the collision points registered since the
// last test. The world's setTerrain fills the terrain fields; the points
// register themselves during the tree update and the frame loop tests them
// once.
struct CollisionRegistry {
    Node* terrainNode = nullptr;
    // 3 floats per vertex in the terrain node's space, vertex (i, j) at
    // i * columns + j; shared with the terrain mesh.
    const float* vertices = nullptr;
    uint32_t columns = 0;
    uint32_t rows = 0;
    float extentX = 0;
    float extentZ = 0;
    std::vector<CollisionNode*> volumes;

    // Calls the callback of every registered point that lies strictly below
    // the terrain surface, in registration order, then forgets the points.
    void testCollisions();

    // Terrain height (terrain space) under the terrain-space point (x, z);
    // false on the outermost rows and columns and beyond, where nothing
    // collides.
    bool heightAt(float x, float z, float& height) const;

    // Measures against `node` with the given heights (borrowed, not copied).
    void setTerrain(Node* node, const float* heights, uint32_t columnCount, uint32_t rowCount, float sizeX,
                    float sizeZ);

    // Forgets the terrain (its mesh is about to go).
    void clearTerrain();
};

extern CollisionRegistry collisionRegistry;
