#pragma once

#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "RoutePlanner.h"

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
    double time = 0.0;
    int wingBreaks = 0;
    bool bodyContact = false;
};

// Builds the level as the game does, hangs the player in it, resets it and
// flies frames of `step` seconds until the finish line, a body contact or
// `maxSeconds`.
FlightResult flyLevel(int level, PlayerNode* player, ScriptedInput& input, double step, double maxSeconds,
                      bool trace = false);
