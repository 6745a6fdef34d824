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

// Prints the table on `out`; `clock` is the game's pass clock, carried on.
std::vector<FlightFigures> runFlightBench(Game& game, ScriptedInput& input, double& clock,
                                          const std::vector<int>& levels, std::FILE* out);
