#include "core/Input.h"

namespace {
Input none;
Input* devices = &none;
Input* installed = nullptr;
}

int Input::getKey(GLFWwindow*, int) { return 0; }  // GLFW_RELEASE

bool Input::joystickPresent(int) { return false; }

const float* Input::joystickAxes(int, int* count) {
    *count = 0;
    return nullptr;
}

const unsigned char* Input::joystickButtons(int, int* count) {
    *count = 0;
    return nullptr;
}

bool Input::joystickIsGamepad(int) { return false; }

bool Input::gamepadState(int, GLFWgamepadstate*) { return false; }

bool Input::windowFocused(GLFWwindow*) { return false; }

bool Input::mouseButtonDown(GLFWwindow*) { return false; }

bool Input::cursorPosition(GLFWwindow*, double&, double&) { return false; }

Input& Input::current() { return installed ? *installed : *devices; }

void Input::install(Input* replacement) { installed = replacement; }

void Input::useDevices(Input* replacement) { devices = replacement ? replacement : &none; }
