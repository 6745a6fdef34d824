#pragma once

#include <string>

// Numbers that the GLSL programs and the C++ side both use, written once:
// the shader loader puts them ahead of every program's text as #defines of
// the same names (see shaderPrelude), so no shader repeats them.

// Sizes the light uniform arrays of the programs.
constexpr int MAX_SHADER_LIGHTS = 64;
// The baked light map is this many pixels square.
constexpr int LIGHT_MAP_SIZE = 512;
// Ambient plus directional light of a clear day: the light map is baked with
// it, so a darker sky dims the map by the ratio.
constexpr float DAY_LIGHT = 1.6f;
// Screen-space motion is stored as 127 +- 127 * motion * MOTION_SCALE per
// channel; the motion-blur pass decodes it with the same numbers.
constexpr float MOTION_SCALE = 2.0f;

// The terrain shader lays snow where height / 50 + (grass green -
// SNOW_GRASS_GREEN) * SNOW_GRASS_WEIGHT + (normal's up - SNOW_UP) *
// SNOW_UP_WEIGHT passes SNOW_LINE_LOW, fully from SNOW_LINE_HIGH: the grass
// texture breaks up the snow line and snow slides off steep faces.
constexpr float SNOW_LINE_LOW = 1.6f;
constexpr float SNOW_LINE_HIGH = 2.3f;
constexpr float SNOW_GRASS_GREEN = 0.4f;
constexpr float SNOW_GRASS_WEIGHT = 0.8f;
constexpr float SNOW_UP = 0.85f;
constexpr float SNOW_UP_WEIGHT = 2.0f;

// Snowfall: new flakes start within SNOW_COLUMN_RADIUS of their emitter across
// and at most SNOW_COLUMN_DEPTH below it. A flake falls FLAKE_FALL plus up to
// FLAKE_FALL_SPREAD units a second, drifts up to FLAKE_DRIFT_SPREAD / 2 either
// way along x and z, flutters up to FLAKE_FLUTTER more, and takes
// FLAKE_GUST_FALL and FLAKE_GUST_DRIFT of its pass's random speed.
constexpr float SNOW_COLUMN_RADIUS = 100.0f;
constexpr float SNOW_COLUMN_DEPTH = 300.0f;
constexpr float FLAKE_FALL = 2.5f;
constexpr float FLAKE_FALL_SPREAD = 1.0f;
constexpr float FLAKE_DRIFT_SPREAD = 0.6f;
constexpr float FLAKE_FLUTTER = 0.5f;
constexpr float FLAKE_GUST_FALL = 0.02f;
constexpr float FLAKE_GUST_DRIFT = 0.03f;

// The #define lines of the numbers above, the light types (LIGHT_AMBIENT,
// LIGHT_DIRECTIONAL, LIGHT_POINT, LIGHT_SPOT) and the level format's
// TERRAIN_EXTENT and HEIGHT_SCALE, each ending in a line break.
std::string shaderPrelude();
