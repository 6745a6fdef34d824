// Load and frame times of every level, the CPU cost of one frame's update and
// collision test, and memory across level rebuilds. Run from data/:
//   make bench
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "FlightBench.h"
#include "app/Game.h"
#include "app/GameState.h"
#include "app/LevelFlow.h"
#include "app/ScriptedInput.h"
#include "player/PlayerNode.h"
#include "effects/EmitterNode.h"
#include "render/Environment.h"
#include "scene/CollisionRegistry.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

bool hasEmitter(Node* node) {
    if (dynamic_cast<EmitterNode*>(node)) return true;
    for (Node* child : node->children)
        if (hasEmitter(child)) return true;
    return false;
}

// Frame time of the start view: the clock is held at zero so every pass puts
// the player back at the start.
double startViewFrameTime(Game& game, double& clock) {
    std::vector<double> times;
    for (int pass = 0; pass < 25; ++pass) {
        gameState.raceTime = 0.0;
        clock += 1.0 / 60.0;
        Clock::time_point start = Clock::now();
        game.runPass(clock);
        if (pass >= 10) times.push_back(millisecondsSince(start));
    }
    return median(times);
}

// CPU time of the update walk and the collision test, without drawing.
double updateAndCollisionTime() {
    std::vector<double> times;
    for (int step = 0; step < 60; ++step) {
        Clock::time_point start = Clock::now();
        gameState.sceneRoot->update(1.0 / 60.0);
        gameState.player->getWorldMatrix();
        collisionRegistry.testCollisions();
        times.push_back(millisecondsSince(start));
    }
    glFinish();
    return median(times);
}

}  // namespace

int main(int argc, char** argv) {
    // Level numbers on the command line fly only those and skip the first table.
    std::vector<int> flightLevels;
    for (int k = 1; k < argc; ++k) flightLevels.push_back(std::atoi(argv[k]));
    if (!glfwInit()) return 1;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    GLFWwindow* window = glfwCreateWindow(800, 600, "-----:::::Moorglide:::::-----", nullptr, nullptr);
    if (!window) return 1;
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) return 1;
    glGetError();

    // The game's own console lines would drown the table.
    std::FILE* console = fdopen(dup(fileno(stdout)), "w");
    if (!console || !std::freopen("/dev/null", "w", stdout)) return 1;
    std::setvbuf(console, nullptr, _IOLBF, 0);

    ScriptedInput input;
    Input::install(&input);
    Game game(window);
    double clock = 0.0;
    if (!game.setUp()) return 1;
    game.startClock(clock);

    if (!flightLevels.empty()) {
        runFlightBench(game, input, clock, flightLevels, console);
        Input::install(nullptr);
        glfwTerminate();
        return 0;
    }
    std::fprintf(console, "level  load (ms)  start frame (ms)  update+collision (ms)  night fog snow\n");
    std::vector<long> memoryAfterCycle;
    for (int cycle = 0; cycle < 2; ++cycle) {
        for (int level = 1; level <= LEVEL_COUNT; ++level) {
            gameState.levelNumber = level;
            Clock::time_point start = Clock::now();
            rebuildLevel();
            glFinish();
            double load = millisecondsSince(start);
            if (!gameState.terrain) return 1;
            if (cycle == 0) {
                double frame = startViewFrameTime(game, clock);
                double update = updateAndCollisionTime();
                std::fprintf(console, "%5d  %9.1f  %16.2f  %21.3f  %5s %3s %4s\n", level, load, frame, update,
                             environment.lightingMode == 1 ? "yes" : "-", environment.fogEnabled ? "yes" : "-",
                             hasEmitter(gameState.sceneRoot) ? "yes" : "-");
            }
        }
        memoryAfterCycle.push_back(residentKilobytes());
    }
    std::fprintf(console, "resident memory after all ten levels: %ld KiB, after ten more: %ld KiB\n",
                 memoryAfterCycle[0], memoryAfterCycle[1]);
    for (int level = 1; level <= LEVEL_COUNT; ++level) flightLevels.push_back(level);
    runFlightBench(game, input, clock, flightLevels, console);
    std::fflush(console);
    // No teardown: it would rewrite the player's highscores.ini.
    Input::install(nullptr);
    glfwTerminate();
    return 0;
}
