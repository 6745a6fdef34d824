#include "world/WorldTerrain.h"

#include "core/GameState.h"
#include "render/GeometryNode.h"
#include "scene/CollisionRegistry.h"

GeometryNode* currentTerrain = nullptr;

void setTerrain(GeometryNode* terrain, const float* vertices, uint32_t columns, uint32_t rows, float extentX,
                float extentZ) {
    gameState.terrain = terrain;
    currentTerrain = terrain;
    collisionRegistry.setTerrain(terrain, vertices, columns, rows, extentX, extentZ);
}

void forgetTerrain() {
    gameState.terrain = nullptr;
    currentTerrain = nullptr;
    collisionRegistry.clearTerrain();
}
