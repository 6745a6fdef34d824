#include "scene/CollisionRegistry.h"

#include <cmath>

#include "scene/CollisionNode.h"

CollisionRegistry collisionRegistry;

bool CollisionRegistry::heightAt(float x, float z, float& height) const {
    if (!vertices || columns == 0 || rows == 0 || extentX == 0 || extentZ == 0) return false;
    const float w = float(columns);
    const float h = float(rows);
    const float gx = (extentX * w * 0.5f + w * x) / extentX;
    const float gz = (extentZ * h * 0.5f - h * z) / extentZ;
    // Reject before converting: a far-off or NaN point must not overflow int.
    if (!(gx >= 1.0f && gx < w - 1.0f && gz >= 1.0f && gz < h - 1.0f)) return false;
    const int j = int(std::floor(gx));
    const int i = int(std::floor(gz));
    if (!(j > 0 && j < int(columns) - 1 && i > 0 && i < int(rows) - 1)) return false;
    const float fx = gx - float(j);
    const float fz = gz - float(i);
    auto y = [this](int row, int column) { return vertices[(size_t(row) * columns + column) * 3 + 1]; };
    // The same diagonal split as the mesh: (i, j+1) to (i+1, j).
    if (1.0f - fx - fz > 0.0f) {
        height = y(i, j) * (1.0f - fx - fz) + y(i + 1, j) * fz + y(i, j + 1) * fx;
    } else {
        height = y(i + 1, j) * (1.0f - fx) + y(i + 1, j + 1) * (fx + fz - 1.0f) + y(i, j + 1) * (1.0f - fz);
    }
    return true;
}

void CollisionRegistry::testCollisions() {
    if (terrainNode) {
        const glm::mat4 toTerrain = terrainNode->getInverseWorldMatrix();
        // By index: a callback may detach nodes, but never registers new ones.
        for (size_t k = 0; k < volumes.size(); ++k) {
            CollisionNode* volume = volumes[k];
            const glm::vec4 local = toTerrain * glm::vec4(glm::vec3(volume->getWorldMatrix()[3]), 1.0f);
            float height = 0;
            if (heightAt(local.x, local.z, height) && height > local.y && volume->callback) volume->callback();
        }
    }
    volumes.clear();
}

void CollisionRegistry::setTerrain(Node* node, const float* heights, uint32_t columnCount, uint32_t rowCount,
                                   float sizeX, float sizeZ) {
    terrainNode = node;
    vertices = heights;
    columns = columnCount;
    rows = rowCount;
    extentX = sizeX;
    extentZ = sizeZ;
}

void CollisionRegistry::clearTerrain() {
    terrainNode = nullptr;
    vertices = nullptr;
    columns = rows = 0;
}
