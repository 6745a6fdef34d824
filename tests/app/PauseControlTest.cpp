#include "app/PauseControl.h"

#include <gtest/gtest.h>

#include "core/GameState.h"
#include "core/ScriptedInput.h"
#include "player/PlayerNode.h"
#include "support/GameFrames.h"
#include "support/ProcessState.h"

namespace {

// The game's frame update over a mesh-less player pulling its nose up.
class PauseTest : public ScriptedInputTest {
protected:
    void SetUp() override {
        root = new Node();
        player = new PlayerNode(nullptr);
        player->startPosition = glm::vec3(0.0f, 130.0f, 50.0f);
        root->addChild(player);
        gameState.sceneRoot = root;
        gameState.player = player;
        input.press(GLFW_KEY_S);
    }
    void TearDown() override { delete root; }

    // Frames of 25 ms leave a remainder in the step clock most of the time.
    void frames(int count, GameFrames& game) {
        for (int k = 0; k < count; ++k) {
            game.run(0.025);
            input.release(GLFW_KEY_P);
        }
    }

    Node* root = nullptr;
    PlayerNode* player = nullptr;
};

}  // namespace

TEST_F(PauseTest, PFreezesClockAndFlightAndResumesExactlyWhereTheyStood) {
    GameFrames reference;
    frames(40, reference);
    const double referenceTime = gameState.raceTime;
    const glm::mat4 referencePose = player->getWorldMatrix();
    const float referenceSpeed = player->speed;
    const double referenceRemainder = reference.stepClock.remainder();

    gameState.raceTime = 0.0;
    GameFrames game;
    frames(19, game);
    input.press(GLFW_KEY_P);
    frames(1, game);
    ASSERT_TRUE(gameState.paused);
    const double time = gameState.raceTime;
    const glm::mat4 pose = player->getWorldMatrix();
    const double remainder = game.stepClock.remainder();
    EXPECT_GT(time, 0.4);
    frames(30, game);
    EXPECT_EQ(gameState.raceTime, time);
    EXPECT_EQ(player->getWorldMatrix(), pose);
    EXPECT_EQ(game.stepClock.remainder(), remainder);

    input.press(GLFW_KEY_P);
    frames(21, game);
    EXPECT_FALSE(gameState.paused);
    // Twenty stepping frames before the pause and twenty after: the same as
    // forty without one.
    EXPECT_EQ(gameState.raceTime, referenceTime);
    EXPECT_EQ(player->getWorldMatrix(), referencePose);
    EXPECT_EQ(player->speed, referenceSpeed);
    EXPECT_EQ(game.stepClock.remainder(), referenceRemainder);
}

TEST_F(PauseTest, LosingFocusPausesAndOnlyPOrStartResume) {
    GameFrames game;
    // A window that never had the focus (a hidden tool window) runs on.
    input.setFocused(false);
    frames(3, game);
    EXPECT_FALSE(gameState.paused);

    input.setFocused(true);
    frames(1, game);
    input.setFocused(false);
    frames(1, game);
    EXPECT_TRUE(gameState.paused);
    input.setFocused(true);
    frames(2, game);
    EXPECT_TRUE(gameState.paused);

    // Start toggles once per press, like P.
    gameState.gamepadStartHeld = true;
    frames(3, game);
    EXPECT_FALSE(gameState.paused);
    gameState.gamepadStartHeld = false;
    frames(1, game);
    gameState.gamepadStartHeld = true;
    frames(1, game);
    EXPECT_TRUE(gameState.paused);
}
