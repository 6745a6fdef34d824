#include "player/WorldStep.h"

#include "core/GameState.h"
#include "player/PlayerNode.h"
#include "player/RaceStep.h"
#include "render/LightNode.h"
#include "scene/CollisionRegistry.h"

void worldStep(double step, const std::vector<LightNode*>& levelLights) {
    raceStep(step);
    for (LightNode* light : levelLights) light->update(step);
    if (gameState.sceneRoot) gameState.sceneRoot->update(step);
    if (gameState.player) gameState.player->getWorldMatrix();
    collisionRegistry.testCollisions();
}
