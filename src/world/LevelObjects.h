#pragma once

#include <glm/glm.hpp>

#include "world/WorldTerrain.h"

#include "render/ShaderFailure.h"

class GeometryNode;
class LevelMap;
class TerrainGrid;

// Places the lamps, snow emitters, goal post, fog and night that the map's
// marker colours ask for, as children of the terrain node, in scan order.
// False, with the reason in `failure`, as soon as a program the objects need
// cannot be built.
bool buildLevelObjects(GeometryNode* terrain, const LevelMap& map, const TerrainGrid& grid, float extentX,
                       float heightScale, float extentZ, ShaderFailure& failure);
