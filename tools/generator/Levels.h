#pragma once

#include <string>

#include "Image.h"
#include "world/LevelMap.h"

// The ten level maps (512 x 512 RGB, red = height, markers in green and
// blue), the light map of the levels that ship one, and the map preview.
namespace levels {

constexpr int mapSize = LEVEL_MAP_SIZE;
constexpr int levelCount = LEVEL_COUNT;
// Terrain units between neighbouring pixels (4).
constexpr double pixelSpacing = double(LEVEL_TERRAIN_EXTENT) / mapSize;
// Image row of the goal marker: z = 2048 * (0.5 - 28 / 512) = 912.
constexpr int goalRow = 28;

struct Summary
{
    int number = 0;
    std::string name;
    int lamps = 0;
    int snow = 0;
    bool fog = false;
    bool night = false;
    bool lightMap = false;
    double narrowest = 0.0; // smallest valley half-width in pixels
    double steepest = 0.0;  // largest sideways drift of the course, pixels per row
};

// Builds level `number` (1..10): the map, and its light map if it ships one
// (an empty image otherwise).
Summary build(int number, Image& map, Image& lightMap);

// Writes data/Maps/*, prints a table of the levels and, when previewDir is
// not empty, the side-by-side picture of all ten maps there.
bool writeAll(const std::string& dataDir, const std::string& previewDir);

} // namespace levels
