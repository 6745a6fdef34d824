#pragma once

// The shipped levels, as the generator writes them and the game loads them:
// maps 1 to LEVEL_COUNT, LEVEL_MAP_SIZE pixels square, each spread over a
// terrain LEVEL_TERRAIN_EXTENT units across, red 255 standing
// LEVEL_HEIGHT_SCALE high.
constexpr int LEVEL_COUNT = 10;
constexpr int LEVEL_MAP_SIZE = 512;
constexpr int LEVEL_TERRAIN_EXTENT = 2048;
constexpr float LEVEL_HEIGHT_SCALE = 256.0f;
