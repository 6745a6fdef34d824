#pragma once

#include <cstdint>

#include <glm/glm.hpp>

class Node;

// The current level's terrain is known in three places that must agree:
// gameState.terrain (the finish line, ghosts and sounds measure in its
// space), currentTerrain (the flight) and the collision registry (with the
// mesh's heights). Only setTerrain and forgetTerrain write them.

// The terrain node of the current level; null while no level is loaded.
extern Node* currentTerrain;

// Where the level's goal stands, in terrain space; its z is the finish line.
extern glm::vec3 goalPosition;
extern float& finishLine;

// Makes `terrain` the current terrain everywhere. `vertices` (3 floats per
// vertex in the terrain's space, vertex (i, j) at i * columns + j) is
// borrowed from the terrain's mesh, so the terrain must be forgotten before
// it goes.
void setTerrain(Node* terrain, const float* vertices, uint32_t columns, uint32_t rows, float extentX,
                float extentZ);

// No terrain anywhere: nothing may reach the old one once it is gone.
void forgetTerrain();
