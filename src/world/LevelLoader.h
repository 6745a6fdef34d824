#pragma once

#include <string>

class GeometryNode;

// The terrain node of the current level; null while no level is loaded.
extern GeometryNode* currentTerrain;

// "Maps/map<n>.png" and "Maps/map<n>Lightmap.png".
std::string levelMapFileName(int level);
std::string levelLightMapFileName(int level);

// Builds level gameState.levelNumber under a new gameState.sceneRoot (the
// terrain is its first child, tilted 15 degrees) and returns the terrain.
// A map that cannot be used is reported with its file name; then nothing is
// built, gameState.sceneRoot is null and the result is null: the caller ends
// the game.
GeometryNode* loadLevel();

// The terrain mesh with its program, textures, light map, collision grid and
// level objects; null (after a message) when the map cannot be used.
GeometryNode* buildTerrain(const std::string& mapName, const std::string& lightMapName, float x, float heightScale,
                           float z);
