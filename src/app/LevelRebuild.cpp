#include "app/LevelRebuild.h"

#include "core/GameState.h"
#include "app/LevelFlow.h"
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
    bool loaded = loadLevel() != nullptr;
    // An own course that cannot be built (changed on disk since the board
    // checked it) never ends the game: level 1 is flown instead.
    if (!loaded && flyingOwnCourse()) {
        gameState.levelNumber = 1;
        loaded = loadLevel() != nullptr;
    }
    if (!loaded) {
        // The loader has said why; the game cannot go on without a level.
        // The player still needs a root so that teardown deletes it.
        gameState.running = false;
        if (!gameState.sceneRoot) gameState.sceneRoot = new Node();
    }
    if (player) gameState.sceneRoot->addChild(player);
}
