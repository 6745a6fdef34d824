#pragma once

#include <glm/glm.hpp>

#include "world/WorldTerrain.h"

class GeometryNode;
class LevelMap;
class TerrainGrid;

// Places the lamps, snow emitters, goal post, fog and night that the map's
// marker colours ask for, as children of the terrain node, in scan order.
void buildLevelObjects(GeometryNode* terrain, const LevelMap& map, const TerrainGrid& grid, float extentX,
                       float heightScale, float extentZ);
