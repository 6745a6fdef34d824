#pragma once

#include <functional>

struct GLFWwindow;
class StepClock;

// Pausing: P or a gamepad's Start toggles it, and the game pauses by itself
// when the window loses the focus. Only P or Start resume, so a player who
// comes back to the window is not thrown into the flight mid-click.
// While paused, or while the level board is open, no simulation step runs:
// the race clock, the flight, the lights and the snow stand still, and the
// step clock keeps its remainder.
class PauseControl {
public:
    // Once per frame, after the setting keys have polled the joysticks.
    void readInput(GLFWwindow* window);
    // The frame's simulation steps, or none while paused or under the board.
    int runSteps(StepClock& clock, double frameSeconds, const std::function<void(double)>& step) const;

private:
    // Focus is watched for its loss only: a window that never had the focus
    // (a hidden tool window) never pauses.
    bool wasFocused = false;
    bool startWasHeld = false;
};
