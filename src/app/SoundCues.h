#pragma once

#include "app/Audio.h"

struct GLFWwindow;

// The figure's sound in this frame, read from gameState.player after the
// collision test: speed, boost, flapping (Space held) and its pose in the
// terrain's space. Without a player: not flying, at the origin.
FlightSound currentFlightSound(GLFWwindow* window);
