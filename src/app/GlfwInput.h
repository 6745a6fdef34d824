#pragma once

#include "core/Input.h"

// The keyboard, mouse and joysticks as GLFW reads them: the game's devices.
class GlfwInput : public Input {
public:
    int getKey(GLFWwindow* window, int key) override;
    bool joystickPresent(int id) override;
    const float* joystickAxes(int id, int* count) override;
    const unsigned char* joystickButtons(int id, int* count) override;
    bool joystickIsGamepad(int id) override;
    bool gamepadState(int id, GLFWgamepadstate* state) override;
    bool windowFocused(GLFWwindow* window) override;
    bool mouseButtonDown(GLFWwindow* window) override;
    bool cursorPosition(GLFWwindow* window, double& x, double& y) override;
};
