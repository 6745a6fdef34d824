#pragma once

#include <functional>

#include "app/FrameUpdate.h"

// The game's own frame update driven frame by frame over the scene the test
// set up in gameState, keys read through the installed input. The game's GL
// parts are left out; a test puts its own in their places through the hooks
// below, each run where the game runs its part when set.
class GameFrames : public FrameUpdate {
public:
    explicit GameFrames(double stepSeconds = StepClock::STEP) : FrameUpdate(nullptr, stepSeconds) {}

    // One frame of `seconds`.
    void run(double seconds) { updateFrame(seconds); }

    std::function<void()> settingKeys, levelBuild, texts, afterEachStep;
    std::function<void(double)> textKeys;
    // In place of the world step, when set.
    std::function<void(double)> stepWith;

protected:
    void readSettingKeys() override;
    void readTextKeys(double frameSeconds) override;
    void buildLevel() override;
    void step(double seconds) override;
    void stepDone(bool runStarted) override;
    void updateTexts() override;
};
