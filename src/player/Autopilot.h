#pragma once

#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "player/PlayerNode.h"
#include "player/RoutePlanner.h"

class Node;
struct CollisionRegistry;

// Flies the player like a careful pilot at the keyboard: it plans a route
// along the valley on the collision grid, steers towards a point ahead on it
// (and at last the goal) with A and D, and holds a height over the terrain
// ahead with W and S. It only chooses keys: the game presses them through
// scripted input, a flight without a window hands them to the figure.
class Autopilot {
public:
    // Plans the route of the level just built, from the player's start to
    // the goal (terrain space), over `grid`'s heights. False when the goal
    // is walled off; blockedAt() then tells how far the route got.
    bool beginLevel(const PlayerNode& player, const Node& terrain, const glm::vec3& goal, const CollisionRegistry& grid);
    // beginLevel in slices, for a caller that may not stop for long:
    // startLevel, then planSome() until it returns true (each call looks at
    // no more than `cells` cells of the grid); hasRoute() then tells.
    void startLevel(const PlayerNode& player, const Node& terrain, const glm::vec3& goal, const CollisionRegistry& grid);
    bool planSome(long cells);
    bool hasRoute() const { return !route.empty(); }
    // The keys for the next step from the player's current pose; none
    // before a route is planned.
    FlightControls steer(PlayerNode& player, Node& terrain);

    // The planned route, terrain-space (x, z) points from start to goal.
    const std::vector<glm::vec2>& plannedRoute() const { return route; }
    // Terrain-space (x, z) of the start as planned from.
    glm::vec2 plannedStart() const { return start; }
    // Without a route: the reachable place nearest to the goal.
    glm::vec2 blockedAt() const { return blocked; }

    // Height kept over the highest terrain ahead.
    float clearance = 18.0f;
    // Prints the pilot's view twice a second.
    bool trace = false;

private:
    std::unique_ptr<RoutePlanner> planner;
    std::vector<glm::vec2> route;
    size_t progress = 0;
    glm::vec2 start{0.0f};
    glm::vec2 goal{0.0f};
    glm::vec2 blocked{0.0f};
    bool planning = false;
    long frames = 0;
};
