#include "app/PauseControl.h"

#include <gtest/gtest.h>

#include "core/GameState.h"
#include "core/ScriptedInput.h"
#include "app/StepClock.h"
#include "player/WorldStep.h"
#include "player/PlayerNode.h"
#include "support/ProcessState.h"

namespace {

// The frame loop's simulation part over a mesh-less player: input, then the
// steps the frame's time holds.
class PauseTest : public ScriptedInputTest {
protected:
    void SetUp() override {
        root = new Node();
        player = new PlayerNode(nullptr);
        player->startPosition = glm::vec3(0.0f, 130.0f, 50.0f);
        root->addChild(player);
        gameState.sceneRoot = root;
        gameState.player = player;
    }
    void TearDown() override { delete root; }

    // Frames of 25 ms leave a remainder in the step clock most of the time.
    void frames(int count, PauseControl& pause, StepClock& clock) {
        for (int k = 0; k < count; ++k) {
            pause.readInput(nullptr);
            player->controls.noseUp = true;
            pause.runSteps(clock, 0.025, [](double step) { worldStep(step, {}); });
            input.release(GLFW_KEY_P);
        }
    }

    Node* root = nullptr;
    PlayerNode* player = nullptr;
};

}  // namespace

TEST_F(PauseTest, PFreezesClockAndFlightAndResumesExactlyWhereTheyStood) {
    PauseControl reference;
    StepClock referenceClock;
    frames(40, reference, referenceClock);
    const double referenceTime = gameState.raceTime;
    const glm::mat4 referencePose = player->getWorldMatrix();
    const float referenceSpeed = player->speed;
    const double referenceRemainder = referenceClock.remainder();

    gameState.raceTime = 0.0;
    PauseControl pause;
    StepClock clock;
    frames(19, pause, clock);
    input.press(GLFW_KEY_P);
    frames(1, pause, clock);
    ASSERT_TRUE(gameState.paused);
    const double time = gameState.raceTime;
    const glm::mat4 pose = player->getWorldMatrix();
    const double remainder = clock.remainder();
    EXPECT_GT(time, 0.4);
    frames(30, pause, clock);
    EXPECT_EQ(gameState.raceTime, time);
    EXPECT_EQ(player->getWorldMatrix(), pose);
    EXPECT_EQ(clock.remainder(), remainder);

    input.press(GLFW_KEY_P);
    frames(21, pause, clock);
    EXPECT_FALSE(gameState.paused);
    // Twenty stepping frames before the pause and twenty after: the same as
    // forty without one.
    EXPECT_EQ(gameState.raceTime, referenceTime);
    EXPECT_EQ(player->getWorldMatrix(), referencePose);
    EXPECT_EQ(player->speed, referenceSpeed);
    EXPECT_EQ(clock.remainder(), referenceRemainder);
}

TEST_F(PauseTest, LosingFocusPausesAndOnlyPOrStartResume) {
    PauseControl pause;
    StepClock clock;
    // A window that never had the focus (a hidden tool window) runs on.
    input.setFocused(false);
    frames(3, pause, clock);
    EXPECT_FALSE(gameState.paused);

    input.setFocused(true);
    frames(1, pause, clock);
    input.setFocused(false);
    frames(1, pause, clock);
    EXPECT_TRUE(gameState.paused);
    input.setFocused(true);
    frames(2, pause, clock);
    EXPECT_TRUE(gameState.paused);

    // Start toggles once per press, like P.
    gameState.gamepadStartHeld = true;
    frames(3, pause, clock);
    EXPECT_FALSE(gameState.paused);
    gameState.gamepadStartHeld = false;
    frames(1, pause, clock);
    gameState.gamepadStartHeld = true;
    frames(1, pause, clock);
    EXPECT_TRUE(gameState.paused);
}
