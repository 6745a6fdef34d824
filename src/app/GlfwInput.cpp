#include "app/GlfwInput.h"

#include <GLFW/glfw3.h>

int GlfwInput::getKey(GLFWwindow* window, int key) { return glfwGetKey(window, key); }

bool GlfwInput::joystickPresent(int id) { return glfwJoystickPresent(id) == GLFW_TRUE; }

const float* GlfwInput::joystickAxes(int id, int* count) {
    *count = 0;
    const float* axes = glfwGetJoystickAxes(id, count);
    if (!axes) *count = 0;
    return axes;
}

const unsigned char* GlfwInput::joystickButtons(int id, int* count) {
    *count = 0;
    const unsigned char* buttons = glfwGetJoystickButtons(id, count);
    if (!buttons) *count = 0;
    return buttons;
}

bool GlfwInput::joystickIsGamepad(int id) { return glfwJoystickIsGamepad(id) == GLFW_TRUE; }

bool GlfwInput::gamepadState(int id, GLFWgamepadstate* state) { return glfwGetGamepadState(id, state) == GLFW_TRUE; }

bool GlfwInput::windowFocused(GLFWwindow* window) {
    return window && glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE;
}

bool GlfwInput::mouseButtonDown(GLFWwindow* window) {
    return window && glfwGetMouseButton(window, GLFW_MOUSE_BUTTON_LEFT) == GLFW_PRESS;
}

bool GlfwInput::cursorPosition(GLFWwindow* window, double& x, double& y) {
    if (!window) return false;
    int width = 0, height = 0;
    glfwGetWindowSize(window, &width, &height);
    if (width <= 0 || height <= 0) return false;
    double cursorX = 0.0, cursorY = 0.0;
    glfwGetCursorPos(window, &cursorX, &cursorY);
    x = cursorX / width;
    y = cursorY / height;
    return true;
}
