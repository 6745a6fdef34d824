#include "app/PauseControl.h"

#include <GLFW/glfw3.h>

#include <cstdio>

#include "core/GameState.h"
#include "core/Input.h"
#include "app/StepClock.h"

void PauseControl::readInput(GLFWwindow* window) {
    const bool wasPaused = gameState.paused;
    bool toggle = gameState.keyBindings.pressedOnce(window, KeyBindings::PAUSE);
    if (gameState.gamepadStartHeld && !startWasHeld) toggle = true;
    startWasHeld = gameState.gamepadStartHeld;
    if (toggle) gameState.paused = !gameState.paused;

    const bool focused = Input::current().windowFocused(window);
    if (wasFocused && !focused) gameState.paused = true;
    wasFocused = focused;

    // The race time of the pause on the console: a split time for the
    // player, and what a scripted run waits for.
    if (gameState.paused && !wasPaused) std::printf("Paused at %.3f s\n", gameState.raceTime);
}

int PauseControl::runSteps(StepClock& clock, double frameSeconds, const std::function<void(double)>& step) const {
    // Not even the frame's time goes in: on resume the clock carries on from
    // the remainder it held.
    if (gameState.paused || gameState.boardOpen) return 0;
    return clock.run(frameSeconds, step);
}
