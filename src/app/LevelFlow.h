#pragma once

struct GLFWwindow;
class Hud;

// The race through the levels: the clock, the finish test, the end-of-level
// screen with its best-time update, the two-second level change and the
// level restart. Works on gameState; the player is gameState.player.

// The player's position along the track: its world position seen from the
// terrain's own space, z component. Without a terrain, the world z.
float playerTrackPosition();
bool playerPastFinish();

// Before the scene update: puts the player at the start when the run has not
// begun, and runs the clock until the finish line is passed.
void raceStep(double dt);
// Runs down the level-change countdown, stopping at exactly 0.
void countdownStep(double dt);
// After the texts: the end-of-level screen while the player is past the
// finish, SPACE or Joy1 for the next level, and the level change itself
// once the countdown has run out.
void endOfLevelStep(GLFWwindow* window, Hud& hud);
// ENTER or Joy2: back to the level's start with the clock at zero.
void restartLevel();

// Replaces the current level's scene with a fresh build of
// gameState.levelNumber and hangs the player under the new root. Called by
// the level change; tests install their own.
using LevelRebuild = void (*)();
extern LevelRebuild levelRebuild;
void rebuildLevel();
