#include "app/LevelRebuild.h"

#include "core/GameState.h"
#include "player/PlayerNode.h"
#include "render/Environment.h"
#include "world/LevelLoader.h"
#include "world/WorldTerrain.h"

void rebuildLevel() {
    environment.clearLights();
    PlayerNode* player = gameState.player;
    forgetTerrain();
    if (gameState.sceneRoot) {
        if (player) gameState.sceneRoot->removeChild(player);
        gameState.sceneRoot->deleteChildren();
        delete gameState.sceneRoot;
        gameState.sceneRoot = nullptr;
    }
    if (!loadLevel()) {
        // The loader has said why; the game cannot go on without a level.
        // The player still needs a root so that teardown deletes it.
        gameState.running = false;
        if (!gameState.sceneRoot) gameState.sceneRoot = new Node();
    }
    if (player) gameState.sceneRoot->addChild(player);
}
