// Flies the shipped levels with the autopilot and reports, per level, whether
// it finished, its time (the par time), wing breaks and body contact. Exit
// code 0 only when every level was finished without body contact in time.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GameFlight.h"
#include "app/Game.h"
#include "app/WindowOpener.h"
#include "core/GameSettings.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/ScriptedInput.h"

int main(int argc, char** argv) {
    std::vector<int> levels;
    double maxSeconds = 180.0;
    bool trace = false;
    int frameRate = 60;
    for (int k = 1; k < argc; ++k) {
        if (!std::strcmp(argv[k], "--data") && k + 1 < argc) {
            if (chdir(argv[++k]) != 0) {
                std::printf("autopilot: cannot enter %s\n", argv[k]);
                return 2;
            }
        } else if (!std::strcmp(argv[k], "--trace")) {
            trace = true;
        } else if (!std::strcmp(argv[k], "--frame-rate") && k + 1 < argc) {
            frameRate = std::atoi(argv[++k]);
            if (frameRate < 1 || frameRate > 1000) {
                std::printf("autopilot: --frame-rate takes 1 to 1000 frames per second\n");
                return 2;
            }
        } else if (!std::strcmp(argv[k], "--max-seconds") && k + 1 < argc) {
            maxSeconds = std::atof(argv[++k]);
        } else {
            const int level = std::atoi(argv[k]);
            if (level < 1 || level > LEVEL_COUNT) {
                std::printf(
                    "usage: moorglide-autopilot [--data DIR] [--frame-rate N] [--max-seconds S] [--trace] [level ...]\n");
                return 2;
            }
            levels.push_back(level);
        }
    }
    if (levels.empty())
        for (int level = 1; level <= LEVEL_COUNT; ++level) levels.push_back(level);

    WindowOpener opener;
    WindowOpener::Request request;
    request.title = "moorglide-autopilot";
    request.width = gameSettings.width;
    request.height = gameSettings.height;
    request.visible = false;
    if (const WindowOpener::Failure failure = opener.open(request)) {
        std::printf("autopilot: no OpenGL 3.3 core context: %s\n", failure.why.c_str());
        return 2;
    }
    GLFWwindow* window = opener.window;

    ScriptedInput input;
    Input::install(&input);
    Game game(window);
    if (!game.setUp()) {
        std::printf("autopilot: the game could not be set up\n");
        game.tearDown(false);
        return 2;
    }

    FlightOptions options;
    options.frameRate = frameRate;
    options.maxSeconds = maxSeconds;
    options.trace = trace;
    std::vector<FlightResult> results;
    for (int level : levels) {
        results.push_back(flyLevel(game, level, input, options));
        const FlightResult& r = results.back();
        std::printf("AUTOPILOT level %d: %s, time %.2f s, wing breaks %d, body contact %s\n", level,
                    !r.loaded ? "NOT LOADED" : r.finished ? "finished" : "NOT FINISHED", r.time, r.wingBreaks,
                    r.bodyContact ? "yes" : "no");
        std::fflush(stdout);
    }

    bool allGood = true;
    std::printf("\n| Level | Finished | Time (s) | Wing breaks | Body contact |\n|---|---|---|---|---|\n");
    for (const FlightResult& r : results) {
        const bool good = r.loaded && r.finished && !r.bodyContact && r.time <= maxSeconds;
        allGood = allGood && good;
        std::printf("| %d | %s | %.2f | %d | %s |\n", r.level, r.finished ? "yes" : "no", r.time, r.wingBreaks,
                    r.bodyContact ? "yes" : "no");
    }
    std::fflush(stdout);

    // The player's own best times are not the autopilot's to write.
    game.tearDown(false);
    Input::install(nullptr);
    return allGood ? 0 : 1;
}
