#include "core/Gamepad.h"

#include <GLFW/glfw3.h>

#include <cmath>

#include "core/Input.h"

float stickDeadZone(float value) {
    if (!std::isfinite(value)) return 0.0f;
    const float magnitude = std::fabs(value);
    if (magnitude <= Gamepad::DEAD_ZONE) return 0.0f;
    const float scaled = std::fmin((magnitude - Gamepad::DEAD_ZONE) / (1.0f - Gamepad::DEAD_ZONE), 1.0f);
    return value < 0.0f ? -scaled : scaled;
}

Gamepad Gamepad::fromState(const GLFWgamepadstate& state) {
    Gamepad pad;
    pad.roll = stickDeadZone(state.axes[GLFW_GAMEPAD_AXIS_LEFT_X]);
    // GLFW's stick y grows downwards, towards the player: pulling back lifts
    // the nose, as axis 1 of a raw joystick does.
    pad.pitch = stickDeadZone(state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y]);
    pad.next = state.buttons[GLFW_GAMEPAD_BUTTON_A] == GLFW_PRESS;
    pad.restart = state.buttons[GLFW_GAMEPAD_BUTTON_B] == GLFW_PRESS;
    pad.start = state.buttons[GLFW_GAMEPAD_BUTTON_START] == GLFW_PRESS;
    pad.back = state.buttons[GLFW_GAMEPAD_BUTTON_BACK] == GLFW_PRESS;
    pad.up = state.buttons[GLFW_GAMEPAD_BUTTON_DPAD_UP] == GLFW_PRESS;
    pad.down = state.buttons[GLFW_GAMEPAD_BUTTON_DPAD_DOWN] == GLFW_PRESS;
    return pad;
}

bool Gamepad::read(Input& input, int id, Gamepad& pad) {
    if (!input.joystickIsGamepad(id)) return false;
    GLFWgamepadstate state{};
    if (!input.gamepadState(id, &state)) return false;
    pad = fromState(state);
    return true;
}
