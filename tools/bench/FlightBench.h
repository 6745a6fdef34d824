#pragma once

#include <chrono>
#include <cstdio>
#include <vector>

class Game;
class ScriptedInput;

// Per level: load time, the start view with detail that falls with distance
// and with the full grid (frame time, triangles, picture difference), and a
// flight over the autopilot's route drawing every frame through the game's
// own frame loop, with the picture difference at five points on the way.
struct FlightFigures {
    int level = 0;
    double loadMs = 0, startMs = 0, fullStartMs = 0;
    double flightP50 = 0, flightP95 = 0, flightSeconds = 0;
    bool finished = false;
    long triangles = 0, fullTriangles = 0;
    double worstMean = 0, worstWithin = 1;  // over the start view and the five points
};

using BenchClock = std::chrono::steady_clock;
double millisecondsSince(BenchClock::time_point start);
// The value below which `share` of the values lie (0.5: the median).
double percentile(std::vector<double> values, double share);
// Median frame time of the start view (the clock held at zero puts the
// player back at the start in every pass), and the triangles of its last
// pass in `triangles` when given; `clock` is the game's pass clock.
double startViewFrameTime(Game& game, double& clock, long* triangles = nullptr);

// Per level and window size, flights on the real clock as the game runs
// them: at the full window and with the render scale following the frame
// time, and the start view at the scale it settles on against the full one.
struct ScaleFigures {
    int level = 0, width = 0, height = 0;
    double fullP50 = 0, fullP95 = 0, autoP50 = 0, autoP95 = 0, meanScale = 0;
    float startScale = 1;
    double startMean = 0, startWithin = 1;
    bool finished = false;
};

struct GLFWwindow;
// Prints the render-scale table on `out` for `levels` at 800 x 600 and
// 1280 x 960; the window is left at 800 x 600.
std::vector<ScaleFigures> runScaleBench(Game& game, GLFWwindow* window, ScriptedInput& input,
                                        const std::vector<int>& levels, std::FILE* out);

// Prints the table on `out`; `clock` is the game's pass clock, carried on.
std::vector<FlightFigures> runFlightBench(Game& game, ScriptedInput& input, double& clock,
                                          const std::vector<int>& levels, std::FILE* out);
