#pragma once

#include <string>

class Node;
class PlayerNode;
struct CollisionRegistry;

// The flight gauge's one HUD line: forward speed and the height over the
// ground under the figure, marked while the low-flight boost is on, so the
// player can learn the boost and the ceiling.
struct FlightGauge {
    float speed = 0.0f;  // units/s along the heading, boost included
    bool overGround = false;  // false off the terrain's grid
    float height = 0.0f;  // over the ground under the figure
    bool boost = false;

    // Reads the player's state; the altitude and the ground are taken in the
    // terrain's own space, as the flight model and the collision test do.
    static FlightGauge read(PlayerNode& player, Node* terrain, const CollisionRegistry& grid);
    std::string text() const;
};
