#include "GameFlight.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>

#include "app/Game.h"
#include "core/GameState.h"
#include "app/LevelFlow.h"
#include "core/ScriptedInput.h"
#include "player/Autopilot.h"
#include "player/PlayerNode.h"
#include "scene/CollisionRegistry.h"
#include "world/WorldTerrain.h"

namespace {

// The pilot's keys, held until the next step chooses again.
void pressKeys(ScriptedInput& input, const FlightControls& keys) {
    input.releaseAll();
    if (keys.rollLeft) input.press(GLFW_KEY_A);
    if (keys.rollRight) input.press(GLFW_KEY_D);
    if (keys.noseUp) input.press(GLFW_KEY_S);
    if (keys.noseDown) input.press(GLFW_KEY_W);
}

}  // namespace

FlightResult flyLevel(Game& game, int level, ScriptedInput& input, const FlightOptions& options) {
    FlightResult result;
    result.level = level;

    if (!game.changeLevel(level)) return result;
    result.loaded = true;

    PlayerNode* player = gameState.player;
    Node* terrain = gameState.terrain;
    Autopilot pilot;
    pilot.trace = options.trace;
    input.releaseAll();
    if (!pilot.beginLevel(*player, *terrain, goalPosition, collisionRegistry)) {
        const glm::vec2 start = pilot.plannedStart();
        std::printf("autopilot: no route from %.0f/%.0f to the goal at %.0f/%.0f\n", start.x, start.y, goalPosition.x,
                    goalPosition.z);
        return result;
    }

    bool leftWasBroken = false, rightWasBroken = false;
    game.afterStep = [&]() {
        result.wingBreaks += (player->leftWingBroken && !leftWasBroken) + (player->rightWingBroken && !rightWasBroken);
        leftWasBroken = player->leftWingBroken;
        rightWasBroken = player->rightWingBroken;
        if (player->stopped || playerPastFinish()) return;
        // A pilot at the controls of every step: what it presses now is what
        // the next frame reads, and the steps left in this frame fly it too.
        pressKeys(input, pilot.steer(*player, *terrain));
        player->controls = player->readControls();
    };

    const double frameSeconds = 1.0 / options.frameRate;
    const auto flightStart = std::chrono::steady_clock::now();
    // The first pass runs a step on either clock: the step that puts the
    // player at the start.
    game.startClock(options.realClock ? -frameSeconds : 0.0);
    for (long frame = 1;; ++frame) {
        const double now =
            options.realClock
                ? std::chrono::duration<double>(std::chrono::steady_clock::now() - flightStart).count()
                : frame * frameSeconds;
        const auto start = std::chrono::steady_clock::now();
        if (options.drawFrames) {
            game.runPass(now);
        } else {
            game.update(now);
        }
        if (options.passMilliseconds) {
            options.passMilliseconds->push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        if (options.afterPass) options.afterPass();
        if (playerPastFinish()) {
            result.finished = true;
            break;
        }
        if (player->stopped) {
            result.bodyContact = true;
            break;
        }
        if (gameState.raceTime > options.maxSeconds) break;
    }
    result.time = gameState.raceTime;
    game.afterStep = nullptr;
    input.releaseAll();
    player->controls = FlightControls();
    return result;
}
