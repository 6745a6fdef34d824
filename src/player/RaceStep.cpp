#include "player/RaceStep.h"

#include "core/GameState.h"
#include "player/PlayerNode.h"
#include "world/WorldTerrain.h"

float playerTrackPosition() {
    PlayerNode* player = gameState.player;
    if (!player) return 0.0f;
    return player->poseIn(gameState.terrain)[3].z;
}

bool playerPastFinish() { return gameState.player && playerTrackPosition() > finishLine; }

void raceStep(double step) {
    if (gameState.raceTime == 0.0 && gameState.player) gameState.player->reset();
    // The clock ignores crashes: it runs until the finish or a restart.
    if (!playerPastFinish()) gameState.raceTime += step;
}
