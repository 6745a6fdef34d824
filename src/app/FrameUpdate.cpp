#include "app/FrameUpdate.h"

#include <GLFW/glfw3.h>

#include "core/Audio.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "app/LevelFlow.h"
#include "app/SoundCues.h"
#include "player/PlayerNode.h"
#include "player/WorldStep.h"
#include "scene/CameraNode.h"

FrameUpdate::FrameUpdate(GLFWwindow* window, double stepSeconds) : stepClock(stepSeconds), window(window) {}

void FrameUpdate::updateFrame(double frameSeconds) {
    if (levelJustBuilt) frameSeconds = 0.0;
    levelJustBuilt = false;

    readInput(frameSeconds);
    // Under the board the level change waits, as the flight does.
    countdownStep(gameState.boardOpen ? 0.0 : frameSeconds);
    levelJustBuilt = levelChange();

    pauseControl.runSteps(stepClock, frameSeconds, [this](double seconds) {
        const bool runStarts = gameState.raceTime == 0.0;
        step(seconds);
        stepDone(runStarts);
    });
    // Effects that are stable at any step length move once per frame; a
    // paused frame has nothing for them.
    if (!gameState.paused && !gameState.boardOpen && gameState.sceneRoot) gameState.sceneRoot->frameUpdate();
    Audio::current().flight(currentFlightSound());

    updateTexts();
    // The board owns SPACE and Joy1 while it is open.
    if (!gameState.boardOpen) endOfLevelStep(window);
    frameDone();
    ensureFrustum();
}

bool FrameUpdate::changeLevel(int level) {
    gameState.levelNumber = level;
    gameState.levelChangePending = true;
    gameState.levelChangeCountdown = 0.0;
    levelJustBuilt = levelChange();
    return gameState.terrain != nullptr;
}

void FrameUpdate::restartClock() {
    stepClock.reset();
    levelJustBuilt = false;
}

void FrameUpdate::step(double seconds) { worldStep(seconds, {}); }

// Every key and joystick of the frame is read here, once, so that every step
// of the frame sees the same controls.
void FrameUpdate::readInput(double frameSeconds) {
    pollEvents();
    gameState.running = Input::current().getKey(window, GLFW_KEY_ESCAPE) != GLFW_PRESS;
    if (readBoardKeys()) return;
    readSettingKeys();
    pauseControl.readInput(window);
    readEnvironmentKeys();
    if (gameState.player) gameState.player->controls = gameState.player->readControls();
    readTextKeys(frameSeconds);
}

bool FrameUpdate::levelChange() {
    return levelChangeStep([this] { buildLevel(); });
}
