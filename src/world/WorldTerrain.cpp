#include "world/WorldTerrain.h"

#include "core/GameState.h"
#include "scene/CollisionRegistry.h"
#include "world/LevelMarkers.h"

Node* currentTerrain = nullptr;
glm::vec3 goalPosition = LevelMarkers::defaultGoal;
float& finishLine = goalPosition.z;

void setTerrain(Node* terrain, const float* vertices, uint32_t columns, uint32_t rows, float extentX,
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
