// Load and frame times of every level, the CPU cost of one frame's update and
// collision test, memory across level rebuilds and the CPU cost of sound.
// Run from data/:
//   make bench
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "GameFlight.h"
#include "FlightBench.h"
#include "app/CourseCheck.h"
#include "app/Game.h"
#include "core/GameState.h"
#include "app/LevelFlow.h"
#include "app/OpenAlAudio.h"
#include "app/WindowOpener.h"
#include "core/ScriptedInput.h"
#include "app/StepClock.h"
#include "player/WorldStep.h"
#include "player/PlayerNode.h"
#include "effects/EmitterNode.h"
#include "render/Environment.h"
#include "render/RenderResources.h"
#include "scene/CollisionRegistry.h"

namespace {

using Clock = BenchClock;

// Resident memory once the allocator has handed its free pages back, so
// that what the figure shows is live memory, not the heap's cache.
long residentKilobytes() {
    malloc_trim(0);
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

// CPU time of one frame's world step (with the collision test) and its
// once-a-frame effects, without drawing.
double updateAndCollisionTime() {
    std::vector<double> times;
    for (int step = 0; step < 60; ++step) {
        Clock::time_point start = Clock::now();
        worldStep(StepClock::STEP, environment.levelLights);
        gameState.sceneRoot->frameUpdate();
        times.push_back(millisecondsSince(start));
    }
    glFinish();
    return percentile(times, 0.5);
}

// The autopilot's finish time of every level through the game's own loop at
// 60 and at 5 frames a second: fixed steps make them agree.
void finishTimesAtTwoFrameRates(Game& game, ScriptedInput& input, std::FILE* console) {
    std::fprintf(console, "\nlevel  finish at 60 fps (s)  finish at 5 fps (s)  difference (steps)\n");
    for (int level = 1; level <= LEVEL_COUNT; ++level) {
        FlightOptions options;
        options.frameRate = 60;
        const FlightResult at60 = flyLevel(game, level, input, options);
        options.frameRate = 5;
        const FlightResult at5 = flyLevel(game, level, input, options);
        std::fprintf(console, "%5d  %20.3f  %19.3f  %18.1f%s\n", level, at60.time, at5.time,
                     (at5.time - at60.time) / StepClock::STEP,
                     at60.finished && at5.finished ? "" : "  (not finished)");
    }
}

double processCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Process CPU time per frame of `frames` frame reports paced at 60 Hz, and
// in `callTime` the time of the calls alone.
double pacedFrameReports(Audio& audio, int frames, double& callTime) {
    FlightSound sound;
    sound.flying = true;
    callTime = 0.0;
    const double cpuStart = processCpuMilliseconds();
    Clock::time_point next = Clock::now();
    for (int i = 0; i < frames; ++i) {
        sound.speed = 50.0f + 40.0f * float(std::sin(i * 0.05));
        sound.boost = i % 120 < 60 ? 30.0f : 0.0f;
        sound.flapping = i % 90 < 30;
        sound.position = glm::vec3(0.0f, 40.0f, -1000.0f + 2.0f * float(i));
        Clock::time_point start = Clock::now();
        audio.flight(sound);
        if (i % 60 == 30) audio.wingSnapped();
        callTime += millisecondsSince(start);
        next += std::chrono::microseconds(16667);
        std::this_thread::sleep_until(next);
    }
    callTime /= frames;
    return (processCpuMilliseconds() - cpuStart) / frames;
}

// What sound adds to a frame in CPU time: the frame loop's calls plus
// OpenAL's mixer thread, on a level with wind, flaps, snow and 30 humming
// lamps. OpenAL Soft's null output mixes like a sound card without playing,
// so the figure needs no device (ALSOFT_DRIVERS set by the caller wins).
void printAudioCost(std::FILE* console) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    const int frames = 240;
    double calls = 0.0;
    Audio silence;
    const double withoutSound = pacedFrameReports(silence, frames, calls);
    OpenAlAudio sound(80, "Sounds/");
    if (!sound.active()) {
        std::fprintf(console, "audio: no device opened, not measured\n");
        return;
    }
    std::vector<glm::vec3> lamps;
    for (int i = 0; i < 30; ++i) lamps.push_back(glm::vec3(i % 2 ? -60.0f : 60.0f, 40.0f, -950.0f + 60.0f * i));
    sound.levelBuilt(lamps, true);
    const double withSound = pacedFrameReports(sound, frames, calls);
    std::fprintf(console, "audio: %.3f ms CPU per frame with OpenAL's mixer thread, %.4f ms of it in the frame loop\n",
                 withSound - withoutSound, calls);
}

// What a player waits for moorglide-check: each shipped 512 x 512 map read,
// checked and flown to the finish by the autopilot, in CPU time of the one
// thread that does it all.
void printCheckerTime(std::FILE* console) {
    std::vector<double> times;
    int slowest = 0;
    for (int level = 1; level <= LEVEL_COUNT; ++level) {
        timespec start{}, end{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        CourseCheck check;
        const int status = check.run("Maps/map" + std::to_string(level) + ".png");
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        times.push_back(double(end.tv_sec - start.tv_sec) * 1e3 + double(end.tv_nsec - start.tv_nsec) / 1e6);
        if (times.back() >= times[size_t(slowest)]) slowest = level - 1;
        if (status != CourseCheck::PLAYABLE) std::fprintf(console, "checker: level %d is not playable\n", level);
    }
    std::fprintf(console, "checker: a 512 x 512 map checked and flown in %.0f ms CPU at most (level %d), %.0f ms median\n",
                 times[size_t(slowest)], slowest + 1, percentile(times, 0.5));
}

}  // namespace

int main(int argc, char** argv) {
    // Level numbers on the command line fly only those and skip the first
    // table; after "scale", only the render-scale table for those levels.
    std::vector<int> flightLevels;
    const bool scaleOnly = argc > 1 && std::string(argv[1]) == "scale";
    for (int k = scaleOnly ? 2 : 1; k < argc; ++k) flightLevels.push_back(std::atoi(argv[k]));
    WindowOpener opener;
    WindowOpener::Request request;
    request.title = "-----:::::Moorglide:::::-----";
    if (const WindowOpener::Failure failure = opener.open(request)) {
        std::printf("bench: no OpenGL 3.3 core context: %s\n", failure.why.c_str());
        return 2;
    }
    GLFWwindow* window = opener.window;

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

    if (scaleOnly) {
        runScaleBench(game, window, input, flightLevels, console);
        Input::install(nullptr);
        glfwTerminate();
        return 0;
    }
    if (!flightLevels.empty()) {
        runFlightBench(game, input, clock, flightLevels, console);
        Input::install(nullptr);
        glfwTerminate();
        return 0;
    }
    std::fprintf(console, "level  load (ms)  start frame (ms)  update+collision (ms)  night fog snow\n");
    // 100 level changes: the first round measures, all of them show whether
    // memory grows from one level build to the next.
    std::vector<long> memoryAfterCycle;
    const int cycles = 10;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        for (int level = 1; level <= LEVEL_COUNT; ++level) {
            Clock::time_point start = Clock::now();
            const bool built = game.changeLevel(level);
            glFinish();
            double load = millisecondsSince(start);
            if (!built) return 1;
            if (cycle == 0) {
                double frame = startViewFrameTime(game, clock);
                double update = updateAndCollisionTime();
                std::fprintf(console, "%5d  %9.1f  %16.2f  %21.3f  %5s %3s %4s\n", level, load, frame, update,
                             environment.lightingMode == LightingMode::Night ? "yes" : "-", environment.fogEnabled ? "yes" : "-",
                             hasEmitter(gameState.sceneRoot) ? "yes" : "-");
            }
        }
        memoryAfterCycle.push_back(residentKilobytes());
    }
    std::fprintf(console, "resident memory after each round of ten levels (KiB):");
    for (long kb : memoryAfterCycle) std::fprintf(console, " %ld", kb);
    std::fprintf(console, "\n");
    // Growth counts from the second round: the first still fills the
    // driver's and the allocator's caches, and the figure falls after it.
    const long first = memoryAfterCycle[1], last = memoryAfterCycle.back();
    std::fprintf(console,
                 "resident memory after %d level changes: %ld KiB, after %d: %ld KiB (%+.2f %%)\n",
                 2 * LEVEL_COUNT, first, cycles * LEVEL_COUNT, last, 100.0 * double(last - first) / double(first));
    finishTimesAtTwoFrameRates(game, input, console);
    printCheckerTime(console);
    printAudioCost(console);
    for (int level = 1; level <= LEVEL_COUNT; ++level) flightLevels.push_back(level);
    runFlightBench(game, input, clock, flightLevels, console);
    runScaleBench(game, window, input, flightLevels, console);
    std::fflush(console);
    Input::install(nullptr);
    // Without saving: the bench's runs are no player's best times.
    game.tearDown(false);
    return 0;
}
