#pragma once

#include <string>

#include "world/TerrainGrid.h"

class LevelMap;
class LevelMarkers;
class Node;

// "Maps/map<n>.png" and "Maps/map<n>Lightmap.png".
std::string levelMapFileName(int level);
std::string levelLightMapFileName(int level);

// What the world step needs of a level, without GL: the terrain's place, its
// height grid for the collision test and the finish line. The level loader
// builds the same through the static helpers; build() alone gives a course
// with a bare terrain node, for flights without a window.
class CourseBuilder {
public:
    // Reads `mapName` and builds its grid at the given extent. A map that
    // cannot be used is reported with its file name; then no terrain is
    // current and the result is false.
    static bool readGrid(const std::string& mapName, float extentX, float heightScale, float extentZ, LevelMap& map,
                         TerrainGrid& grid);
    // The terrain under the root: 200 below and 1000 ahead of the origin,
    // tilted 15 degrees.
    static void placeTerrain(Node* terrain);
    // The goal (and so the finish line) from the map's marker, else the default.
    static void placeGoal(const LevelMarkers& markers);
    // Where placeGoal puts it.
    static glm::vec3 goalOf(const LevelMarkers& markers);

    // Level `level` under a new gameState.sceneRoot at the game's terrain
    // extent: a bare terrain node as its first child, made the current
    // terrain with this builder's grid, and the finish line. False (root
    // null) when the map cannot be used.
    bool build(int level);
    // Forgets the terrain when it is still this builder's.
    ~CourseBuilder();

    TerrainGrid grid;  // the heights the collision test borrows
};
