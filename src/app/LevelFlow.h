#pragma once

#include "player/RaceStep.h"

struct GLFWwindow;
class Hud;

// The race through the levels: the clock, the finish test, the end-of-level
// screen with its best-time update, the two-second level change and the
// level restart. Works on gameState; the player is gameState.player.

// True while a course of the player's own is flown (gameState.ownCourse).
bool flyingOwnCourse();
// The best time of the level or own course flown, NO_HIGHSCORE without one.
double levelBest();

// The race step itself (clock, finish test, start reset): player/RaceStep.h.
// Each frame: runs the level-change countdown down by real time, stopping at
// exactly 0.
void countdownStep(double frameSeconds);
// Each frame, before the simulation steps: the level change once the
// countdown has run out. True when a level was built in this call.
bool levelChangeStep(Hud& hud);
// Each frame, after the simulation steps: the end-of-level screen while the
// player is past the finish (it stops the player and keeps a new best time),
// SPACE or Joy1 for the next level, and the start of the countdown.
void endOfLevelStep(GLFWwindow* window);
// Draws the end-of-level lines when this frame shows the screen, with the
// best time as it stood before this frame.
void drawEndOfLevel(Hud& hud);
// ENTER or Joy2: back to the level's start with the clock at zero.
void restartLevel();

// Replaces the current level's scene with a fresh build of
// gameState.levelNumber and hangs the player under the new root. Called by
// the level change; tests install their own.
using LevelRebuild = void (*)();
extern LevelRebuild levelRebuild;
void rebuildLevel();
