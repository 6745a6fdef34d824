#pragma once

#include <functional>

#include "player/RaceStep.h"

struct GLFWwindow;

// The race through the levels: the clock, the finish test, the end-of-level
// screen with its best-time update, the two-second level change and the
// level restart. Works on gameState; the player is gameState.player. No GL:
// the end-of-level lines are drawn by drawEndOfLevel (app/Hud.h), the level
// is built by rebuildLevel (app/LevelRebuild.h).

// True while a course of the player's own is flown (gameState.ownCourse).
bool flyingOwnCourse();
// The best time of the level or own course flown, NO_HIGHSCORE without one.
double levelBest();

// The race step itself (clock, finish test, start reset): player/RaceStep.h.
// Each frame: runs the level-change countdown down by real time, stopping at
// exactly 0.
void countdownStep(double frameSeconds);
// Each frame, before the simulation steps: the level change once the
// countdown has run out, the clock back to zero and `buildLevel` building
// gameState.levelNumber. True when a level was built in this call.
bool levelChangeStep(const std::function<void()>& buildLevel);
// Each frame, after the simulation steps: the end-of-level screen while the
// player is past the finish (it stops the player and keeps a new best time),
// SPACE or Joy1 for the next level, and the start of the countdown.
void endOfLevelStep(GLFWwindow* window);
// ENTER or Joy2: back to the level's start with the clock at zero.
void restartLevel();
