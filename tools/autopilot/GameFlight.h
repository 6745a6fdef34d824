#pragma once

#include <functional>
#include <vector>

class Game;
class ScriptedInput;

struct FlightResult {
    int level = 0;
    bool loaded = false;
    bool finished = false;
    double time = 0.0;  // the race clock at the end
    int wingBreaks = 0;
    bool bodyContact = false;
};

struct FlightOptions {
    // Passes of the frame loop per simulated second; each runs the fixed
    // steps its time holds.
    int frameRate = 60;
    double maxSeconds = 180.0;
    bool trace = false;
    // Draw every pass (update only otherwise) and note each pass's time.
    bool drawFrames = false;
    std::vector<double>* passMilliseconds = nullptr;
    // The passes' clock is the real one, as in the game, instead of
    // `frameRate` passes a simulated second: the render scale sees the real
    // frame times.
    bool realClock = false;
    // Called after every pass, before the finish test.
    std::function<void()> afterPass;
};

// Builds the level through the game's own level change and flies it with
// the autopilot (player/Autopilot.h) pressing its keys through the game's
// own frame loop (Game::update, and Game::runPass when drawing),
// steering after every simulation step, until the finish line, a body
// contact or `maxSeconds` on the race clock.
FlightResult flyLevel(Game& game, int level, ScriptedInput& input, const FlightOptions& options);
