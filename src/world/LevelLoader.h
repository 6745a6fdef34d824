#pragma once

#include <string>

#include "world/CourseBuilder.h"
#include "world/WorldTerrain.h"

class GeometryNode;

// Builds level gameState.levelNumber under a new gameState.sceneRoot (the
// terrain is its first child, tilted 15 degrees), makes it the current
// terrain and returns it. A number above LEVEL_COUNT is the player's own
// course gameState.ownCourse, built as a level without a light map image.
// A map that cannot be used is reported with its file name; then nothing is
// built, gameState.sceneRoot is null and the result is null: the caller ends
// the game.
GeometryNode* loadLevel();

// The terrain mesh with its program, textures, light map, collision grid and
// level objects, made the current terrain; null (after a message, with no
// current terrain) when the map cannot be used.
GeometryNode* buildTerrain(const std::string& mapName, const std::string& lightMapName, float x, float heightScale,
                           float z);
