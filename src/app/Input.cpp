#include "app/Input.h"

#include <GLFW/glfw3.h>

namespace {
Input glfwInput;
Input* installed = nullptr;
}

int Input::getKey(GLFWwindow* window, int key) { return glfwGetKey(window, key); }

bool Input::joystickPresent(int id) { return glfwJoystickPresent(id) == GLFW_TRUE; }

const float* Input::joystickAxes(int id, int* count) {
    *count = 0;
    const float* axes = glfwGetJoystickAxes(id, count);
    if (!axes) *count = 0;
    return axes;
}

const unsigned char* Input::joystickButtons(int id, int* count) {
    *count = 0;
    const unsigned char* buttons = glfwGetJoystickButtons(id, count);
    if (!buttons) *count = 0;
    return buttons;
}

bool Input::joystickIsGamepad(int id) { return glfwJoystickIsGamepad(id) == GLFW_TRUE; }

bool Input::gamepadState(int id, GLFWgamepadstate* state) { return glfwGetGamepadState(id, state) == GLFW_TRUE; }

bool Input::windowFocused(GLFWwindow* window) {
    return window && glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE;
}

Input& Input::current() { return installed ? *installed : glfwInput; }

void Input::install(Input* replacement) { installed = replacement; }
