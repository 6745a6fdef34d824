#include "app/WorldStep.h"

#include "core/GameState.h"
#include "app/LevelFlow.h"
#include "player/PlayerNode.h"
#include "render/Environment.h"
#include "render/LightNode.h"
#include "scene/CollisionRegistry.h"

void worldStep(double step) {
    raceStep(step);
    for (LightNode* light : environment.levelLights) light->update(step);
    if (gameState.sceneRoot) gameState.sceneRoot->update(step);
    if (gameState.player) gameState.player->getWorldMatrix();
    collisionRegistry.testCollisions();
}
