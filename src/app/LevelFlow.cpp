#include "app/LevelFlow.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdio>

#include "core/Audio.h"
#include "core/GameState.h"
#include "app/CourseTimes.h"
#include "app/Highscores.h"
#include "player/PlayerNode.h"

void countdownStep(double frameSeconds) {
    if (gameState.levelChangeCountdown == -1.0) return;
    const double before = gameState.levelChangeCountdown;
    gameState.levelChangeCountdown -= frameSeconds;
    if (!(gameState.levelChangeCountdown > 0.0)) gameState.levelChangeCountdown = 0.0;
    // A tick as each further whole second begins (endOfLevelStep ticks the first).
    const double after = gameState.levelChangeCountdown;
    if (after > 0.0 && std::ceil(after) < std::ceil(before)) Audio::current().countdownTick();
}

void restartLevel() {
    if (gameState.player) gameState.player->reset();
    gameState.raceTime = 0.0;
}

bool flyingOwnCourse() { return gameState.levelNumber > LEVEL_COUNT; }

double levelBest() {
    if (flyingOwnCourse()) return courseTimes.best(gameState.ownCourse.key);
    return highscores[gameState.levelNumber];
}

namespace {

// The own course after the one flown, or null after the last.
const GameState::OwnCourse* nextOwnCourse() {
    const std::vector<GameState::OwnCourse>& courses = gameState.ownCourses;
    for (size_t k = 0; k < courses.size(); ++k) {
        if (courses[k].number == gameState.levelNumber) return k + 1 < courses.size() ? &courses[k + 1] : nullptr;
    }
    return nullptr;
}

void showEndOfLevel(GLFWwindow* window) {
    gameState.player->stopped = true;
    const bool own = flyingOwnCourse();
    const double best = levelBest();
    // Decided here, drawn after the update: the screen's first frame still
    // shows the old best, and the level as it was before SPACE.
    gameState.endOfLevel.shown = true;
    gameState.endOfLevel.best = best;
    gameState.endOfLevel.lastLevel = own ? nextOwnCourse() == nullptr : gameState.levelNumber == LEVEL_COUNT;
    if (own) {
        courseTimes.record(gameState.ownCourse.key, gameState.raceTime);
    } else if (best > gameState.raceTime && gameState.raceTime != 0.0) {
        highscores[gameState.levelNumber] = gameState.raceTime;
    }

    bool next = gameState.keyBindings.pressedOnce(window, KeyBindings::NEXT_LEVEL);
    // Joy1 has no edge detection: held, it counts at once.
    if (gameState.joystickSeen && gameState.joystickButtonCount >= 1 && !gameState.joystickButtons.empty() &&
        gameState.joystickButtons[0] == GLFW_PRESS) {
        next = true;
    }
    if (next) {
        // Own courses run on to the next one, and after the last to level 1.
        const GameState::OwnCourse* course = own ? nextOwnCourse() : nullptr;
        if (course) {
            gameState.ownCourse = *course;
            gameState.levelNumber = course->number;
        } else {
            gameState.levelNumber = own || gameState.levelNumber == LEVEL_COUNT ? 1 : gameState.levelNumber + 1;
        }
        gameState.levelChangePending = true;
    }
}

}  // namespace

bool levelChangeStep(const std::function<void()>& buildLevel) {
    if (!gameState.levelChangePending || gameState.levelChangeCountdown != 0.0) return false;
    gameState.raceTime = 0.0;
    buildLevel();
    gameState.levelChangePending = false;
    gameState.levelChangeCountdown = -1.0;
    return true;
}

void endOfLevelStep(GLFWwindow* window) {
    const bool wasShown = gameState.endOfLevel.shown;
    gameState.endOfLevel.shown = false;
    if (gameState.levelChangeCountdown == -1.0 && playerPastFinish()) {
        if (!wasShown) Audio::current().finished();
        showEndOfLevel(window);
    }
    if (gameState.levelChangePending && gameState.levelChangeCountdown == -1.0) {
        gameState.levelChangeCountdown = 2.0;
        Audio::current().countdownTick();
        gameState.messageTime = 3.0;
        std::snprintf(gameState.statusMessage, sizeof gameState.statusMessage, "Loading next level...");
    }
}
