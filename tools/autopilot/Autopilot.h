#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "RoutePlanner.h"

class Game;
class Node;
class PlayerNode;
class ScriptedInput;

// Flies the player like a careful pilot at the keyboard: it plans a route
// along the valley on the collision grid, steers towards a point ahead on it
// (and at last the goal) with A and D, and holds a height over the terrain
// ahead with W and S.
class Autopilot {
public:
    explicit Autopilot(ScriptedInput& input) : input(input) {}

    // Plans the route of the level just loaded, from the player to the goal.
    bool beginLevel(PlayerNode& player, Node& terrain, const glm::vec3& goal);
    // Chooses the keys for the next frame from the player's current pose.
    void steer(PlayerNode& player, Node& terrain);

    // Height kept over the highest terrain ahead.
    float clearance = 18.0f;
    // Prints the pilot's view twice a second.
    bool trace = false;

private:
    ScriptedInput& input;
    std::unique_ptr<RoutePlanner> planner;
    std::vector<glm::vec2> route;
    size_t progress = 0;
    glm::vec2 goal{0.0f};
    long frames = 0;
};

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

// Builds the level through the game's own level change and flies it through
// the game's own frame loop (Game::update, and Game::runPass when drawing),
// steering after every simulation step, until the finish line, a body
// contact or `maxSeconds` on the race clock.
FlightResult flyLevel(Game& game, int level, ScriptedInput& input, const FlightOptions& options);
