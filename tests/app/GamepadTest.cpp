#include "core/Gamepad.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/GameState.h"
#include "core/ScriptedInput.h"
#include "app/SettingKeys.h"
#include "player/PlayerNode.h"
#include "support/ProcessState.h"

TEST(Gamepad, DeadZoneIsDroppedAndTheRestStretchedContinuously) {
    EXPECT_EQ(stickDeadZone(0.0f), 0.0f);
    EXPECT_EQ(stickDeadZone(0.1f), 0.0f);
    EXPECT_EQ(stickDeadZone(-0.15f), 0.0f);
    EXPECT_NEAR(stickDeadZone(0.1501f), 0.0f, 1e-3f);
    EXPECT_NEAR(stickDeadZone(0.575f), 0.5f, 1e-6f);
    EXPECT_NEAR(stickDeadZone(-0.575f), -0.5f, 1e-6f);
    EXPECT_EQ(stickDeadZone(1.0f), 1.0f);
    EXPECT_EQ(stickDeadZone(-1.0f), -1.0f);
    EXPECT_EQ(stickDeadZone(1.5f), 1.0f);
    EXPECT_EQ(stickDeadZone(NAN), 0.0f);
}

namespace {

class GamepadControls : public ScriptedInputTest {
protected:
    void TearDown() override { delete gameState.player; }
};

}  // namespace

TEST_F(GamepadControls, AGamepadIsReadByLayoutAndARawJoystickByNumber) {
    // The gamepad's raw order differs from its layout: its raw axes and
    // buttons must not count.
    GLFWgamepadstate state{};
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = 0.1f;   // resting: in the dead zone
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = 0.575f;  // pulled back: nose up
    state.buttons[GLFW_GAMEPAD_BUTTON_B] = GLFW_PRESS;
    state.buttons[GLFW_GAMEPAD_BUTTON_START] = GLFW_PRESS;
    input.setGamepad(3, state);
    input.setJoystick(3, {0.9f, 0.9f}, {GLFW_PRESS, GLFW_RELEASE});
    input.setJoystick(0, {0.5f, -0.25f}, {GLFW_RELEASE, GLFW_RELEASE});
    gameState.player = new PlayerNode(nullptr);
    gameState.player->reset();
    ASSERT_EQ(gameState.player->joysticks, (std::vector<int>{0, 3}));

    FlightControls controls = gameState.player->readControls();
    EXPECT_FLOAT_EQ(controls.joystickRoll, 0.5f);
    EXPECT_FLOAT_EQ(controls.joystickPitch, -0.25f + 0.5f);

    // The gamepad comes last and wins the buttons: B is Joy2, so it restarts.
    gameState.raceTime = 7.0;
    handleSettingKeys(nullptr);
    EXPECT_EQ(gameState.joystickButtons, (std::vector<unsigned char>{GLFW_RELEASE, GLFW_PRESS}));
    EXPECT_EQ(gameState.raceTime, 0.0);
    EXPECT_TRUE(gameState.gamepadStartHeld);

    // A as Joy1.
    state.buttons[GLFW_GAMEPAD_BUTTON_B] = GLFW_RELEASE;
    state.buttons[GLFW_GAMEPAD_BUTTON_A] = GLFW_PRESS;
    state.buttons[GLFW_GAMEPAD_BUTTON_START] = GLFW_RELEASE;
    input.setGamepad(3, state);
    handleSettingKeys(nullptr);
    EXPECT_EQ(gameState.joystickButtons, (std::vector<unsigned char>{GLFW_PRESS, GLFW_RELEASE}));
    EXPECT_FALSE(gameState.gamepadStartHeld);
}
