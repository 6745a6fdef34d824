#pragma once

#include "core/Audio.h"

// The figure's sound in this frame, read from gameState.player after the
// frame's steps: speed, boost, flapping (Space in this frame's controls) and
// its pose in the terrain's space. Without a player: not flying, at the origin.
FlightSound currentFlightSound();
