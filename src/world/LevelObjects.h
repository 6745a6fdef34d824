#pragma once

#include <glm/glm.hpp>

class GeometryNode;
class LevelMap;
class TerrainGrid;

// Where the level's goal stands, in terrain space; its z is the finish line.
extern glm::vec3 goalPosition;
extern float& finishLine;

// Places the lamps, snow emitters, goal post, fog and night that the map's
// marker colours ask for, as children of the terrain node, in scan order.
void buildLevelObjects(GeometryNode* terrain, const LevelMap& map, const TerrainGrid& grid, float extentX,
                       float heightScale, float extentZ);
