#include "Autopilot.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "app/Game.h"
#include "core/GameState.h"
#include "app/LevelFlow.h"
#include "core/ScriptedInput.h"
#include "player/FlightConstants.h"
#include "player/PlayerNode.h"
#include "render/Environment.h"
#include "render/GeometryNode.h"
#include "render/LightNode.h"
#include "scene/CollisionRegistry.h"
#include "world/LevelObjects.h"

namespace {

constexpr float DEGREE = 3.14159265f / 180.0f;

float wrapAngle(float a) {
    while (a > 3.14159265f) a -= 6.2831853f;
    while (a < -3.14159265f) a += 6.2831853f;
    return a;
}

glm::vec3 terrainPosition(PlayerNode& player, Node& terrain) {
    return glm::vec3(terrain.getInverseWorldMatrix() * glm::vec4(glm::vec3(player.getWorldMatrix()[3]), 1.0f));
}

}  // namespace

bool Autopilot::beginLevel(PlayerNode& player, Node& terrain, const glm::vec3& goalPosition) {
    const CollisionRegistry& grid = collisionRegistry;
    std::vector<float> heights(size_t(grid.columns) * grid.rows);
    for (size_t v = 0; v < heights.size(); ++v) heights[v] = grid.vertices[v * 3 + 1];
    planner = std::make_unique<RoutePlanner>(std::move(heights), grid.columns, grid.rows, grid.extentX, grid.extentZ);
    // The player's start as set by reset; the caches of the new level are not
    // filled before its first frame, so the terrain's placement is read as is.
    const glm::mat4 placement = terrain.translationMatrix * terrain.rotationMatrix * terrain.scaleMatrix;
    const glm::vec3 start(glm::inverse(placement) * glm::vec4(player.startPosition, 1.0f));
    goal = glm::vec2(goalPosition.x, goalPosition.z);
    route = planner->plan(glm::vec2(start.x, start.z), goal);
    progress = 0;
    frames = 0;
    input.releaseAll();
    if (route.empty())
        std::printf("autopilot: no route from %.0f/%.0f to the goal at %.0f/%.0f\n", start.x, start.z, goal.x, goal.y);
    return !route.empty();
}

void Autopilot::steer(PlayerNode& player, Node& terrain) {
    input.releaseAll();
    if (!planner) return;
    const glm::mat4 world = player.getWorldMatrix();
    const glm::mat4 toTerrain = terrain.getInverseWorldMatrix();
    const glm::vec3 p = terrainPosition(player, terrain);
    const glm::vec3 f = glm::normalize(glm::vec3(toTerrain * glm::vec4(-glm::normalize(glm::vec3(world[2])), 0.0f)));
    const glm::vec3 right = glm::normalize(glm::vec3(world[0]));
    const float heading = std::atan2(f.x, f.z);
    const float pitch = std::asin(std::clamp(f.y, -1.0f, 1.0f));
    const float bank = std::asin(std::clamp(right.y, -1.0f, 1.0f));
    const float speed = player.speed;
    const glm::vec2 here(p.x, p.z);

    // Where on the route we are: the nearest point a little way ahead.
    const size_t searchEnd = std::min(route.size(), progress + 80);
    float best = 1e30f;
    for (size_t k = progress; k < searchEnd; ++k) {
        const float d = glm::length(route[k] - here);
        if (d < best) {
            best = d;
            progress = k;
        }
    }

    // Steering: towards a point ahead on the route; past its end, the goal.
    const size_t lookahead = size_t(std::max(15.0f, speed * 1.2f / 4.0f));
    glm::vec2 aim = progress + lookahead < route.size() ? route[progress + lookahead] : goal + glm::vec2(0.0f, 200.0f);
    const glm::vec2 toAim = aim - here;
    const float headingError = wrapAngle(std::atan2(toAim.x, toAim.y) - heading);
    const float wantedBank = std::clamp(1.2f * headingError, -40.0f * DEGREE, 40.0f * DEGREE);
    if (bank < wantedBank - 1.5f * DEGREE) {
        input.press(GLFW_KEY_A);
    } else if (bank > wantedBank + 1.5f * DEGREE) {
        input.press(GLFW_KEY_D);
    }

    // Height: over the highest terrain of the next few seconds of the route.
    float highest = planner->highestAround(here, 3);
    const size_t reach = std::min(route.size(), progress + size_t(std::max(30.0f, speed * 4.0f / 4.0f)));
    for (size_t k = progress; k < reach; k += 2) highest = std::max(highest, planner->highestAround(route[k], 3));
    // Fifteen under the ceiling leaves room to climb over what lies ahead.
    const float target = std::min(highest + clearance, flight::CEILING - 15.0f);
    const float climb = std::clamp(0.8f * (target - p.y), -20.0f, 35.0f);
    const float liftFactor = std::max(0.0f, -right.x);
    const float lift = flight::LIFT * speed / flight::STALL_SPEED * liftFactor;
    float wantedPitch = std::asin(std::clamp((climb + flight::SINK - lift) / std::max(speed, 5.0f), -0.6f, 0.7f));
    // A slow figure must not climb: below stall speed the nose drops ever faster.
    if (speed < 22.0f) wantedPitch = std::min(wantedPitch, 0.05f);
    if (trace && frames % 30 == 0) {
        std::printf("  t %6.2f  pos %7.1f %6.1f %7.1f  target %6.1f  speed %5.1f  pitch %6.1f/%6.1f  bank %6.1f/%6.1f"
                    "  route %zu/%zu off %.1f\n",
                    frames / 60.0, p.x, p.y, p.z, target, speed, pitch / DEGREE, wantedPitch / DEGREE, bank / DEGREE,
                    wantedBank / DEGREE, progress, route.size(), best);
    }
    ++frames;
    if (pitch < wantedPitch - 0.6f * DEGREE) {
        input.press(GLFW_KEY_S);
    } else if (pitch > wantedPitch + 0.6f * DEGREE) {
        input.press(GLFW_KEY_W);
    }
}

FlightResult flyLevel(Game& game, int level, ScriptedInput& input, const FlightOptions& options) {
    FlightResult result;
    result.level = level;

    if (!game.changeLevel(level)) return result;
    result.loaded = true;

    PlayerNode* player = gameState.player;
    Node* terrain = gameState.terrain;
    Autopilot pilot(input);
    pilot.trace = options.trace;
    if (!pilot.beginLevel(*player, *terrain, goalPosition)) return result;

    bool leftWasBroken = false, rightWasBroken = false;
    game.afterStep = [&]() {
        result.wingBreaks += (player->leftWingBroken && !leftWasBroken) + (player->rightWingBroken && !rightWasBroken);
        leftWasBroken = player->leftWingBroken;
        rightWasBroken = player->rightWingBroken;
        if (player->stopped || playerPastFinish()) return;
        // A pilot at the controls of every step: what it presses now is what
        // the next frame reads, and the steps left in this frame fly it too.
        pilot.steer(*player, *terrain);
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
