#pragma once

#include <vector>

class LightNode;

// One fixed simulation step of the world, shared by the game, the autopilot
// and the bench: the race clock, the level's lights (the environment's, which
// the caller hands in), the scene tree (the player flies with its controls of
// this frame) and the collision test with its callbacks. Nothing here reads
// input or draws, and nothing needs GL.
void worldStep(double step, const std::vector<LightNode*>& levelLights);
