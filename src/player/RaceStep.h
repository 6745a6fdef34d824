#pragma once

// The race's own part of a simulation step, without GL. Works on gameState;
// the player is gameState.player.

// The player's position along the track: its world position seen from the
// terrain's own space, z component. Without a terrain, the world z.
float playerTrackPosition();
bool playerPastFinish();

// Each simulation step, before the world moves: puts the player at the start
// when the run has not begun, and runs the clock until the finish line is
// passed. The clock so counts simulated time, never a stall.
void raceStep(double step);
