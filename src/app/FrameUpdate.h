#pragma once

#include "app/PauseControl.h"
#include "app/StepClock.h"

struct GLFWwindow;

// The update half of a frame in the game's order, written once for the game,
// its tools and the tests, without GL: the input read once (the devices'
// events, Escape, the setting keys, pause, the environment keys, the figure's
// controls, the texts' keys), the level-change countdown and a change that
// is due, the fixed steps the frame's time holds (none while paused), the
// once-a-frame effects, the flight sound, the texts, the end-of-level screen
// and the culling planes for the draw. What needs GL or the devices comes
// from a subclass through the hooks below, each called at its place; here
// they do nothing, and a step is the world step without level lights.
class FrameUpdate {
public:
    // Keys are read from `window` (null under a scripted input); the world
    // moves in steps of `stepSeconds`.
    explicit FrameUpdate(GLFWwindow* window, double stepSeconds = StepClock::STEP);
    virtual ~FrameUpdate() = default;

    // One frame's update over `frameSeconds` of real time.
    void updateFrame(double frameSeconds);
    // Builds `level` at once, as the level change at the end of a countdown
    // does. False when it could not be built.
    bool changeLevel(int level);
    // Drops the step clock's remainder and a pending skip of a loading
    // frame: the next frame is flown from scratch.
    void restartClock();

    StepClock stepClock;
    PauseControl pauseControl;

protected:
    virtual void pollEvents() {}
    // After Escape, before every other key: true while the level board is
    // open, which then owns the keys.
    virtual bool readBoardKeys() { return false; }
    // After Escape: the setting keys, which poll the joysticks for pause.
    virtual void readSettingKeys() {}
    // After pause, before the figure reads its controls.
    virtual void readEnvironmentKeys() {}
    // The last of the input: the texts' own keys and clocks.
    virtual void readTextKeys(double frameSeconds) { (void)frameSeconds; }
    // Builds gameState.levelNumber for the level change; the clock is at zero.
    virtual void buildLevel() {}
    // One simulation step.
    virtual void step(double seconds);
    // After each step; `runStarted` when the step began a run.
    virtual void stepDone(bool runStarted) { (void)runStarted; }
    // After the steps, the frame's effects and the flight sound.
    virtual void updateTexts() {}
    // Last, after the end-of-level screen.
    virtual void frameDone() {}

    // True when the last frame built a level: this frame's time is its
    // loading time.
    bool levelWasJustBuilt() const { return levelJustBuilt; }

    GLFWwindow* window;

private:
    void readInput(double frameSeconds);
    bool levelChange();

    // Set when a level was built: the next frame's time is the loading time,
    // which nobody flew.
    bool levelJustBuilt = false;
};
