#pragma once

#include "core/LevelConstants.h"

// The shipped levels' names, level 1 first: the generator designs the maps
// under them, the level board lists them, and a test holds the README's
// tables to them.
constexpr const char* LEVEL_NAMES[LEVEL_COUNT] = {
    "Green Valley", "Lantern Road", "Snowfield",   "Fog Basin",   "Night Lanterns",
    "The Gorge",    "Frozen Fork",  "Misty Lamps", "Blind Night", "Storm Run",
};
