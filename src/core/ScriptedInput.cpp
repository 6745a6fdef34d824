#include "core/ScriptedInput.h"

#include <GLFW/glfw3.h>

void ScriptedInput::setJoystick(int id, std::vector<float> axes, std::vector<unsigned char> buttons) {
    joysticks[id] = Joystick{std::move(axes), std::move(buttons)};
}

void ScriptedInput::setGamepad(int id, const GLFWgamepadstate& state) {
    gamepads[id] = state;
    // A gamepad is a joystick too: its raw axes and buttons stay readable.
    if (!joysticks.count(id)) joysticks[id] = Joystick{};
}

bool ScriptedInput::joystickIsGamepad(int id) { return gamepads.count(id) != 0; }

bool ScriptedInput::gamepadState(int id, GLFWgamepadstate* state) {
    auto found = gamepads.find(id);
    if (found == gamepads.end()) return false;
    *state = found->second;
    return true;
}

bool ScriptedInput::windowFocused(GLFWwindow*) { return focused; }

bool ScriptedInput::mouseButtonDown(GLFWwindow*) { return mouseDown; }

bool ScriptedInput::cursorPosition(GLFWwindow*, double& x, double& y) {
    x = cursorX;
    y = cursorY;
    return true;
}

int ScriptedInput::getKey(GLFWwindow*, int key) { return held.count(key) ? GLFW_PRESS : GLFW_RELEASE; }

bool ScriptedInput::joystickPresent(int id) { return joysticks.count(id) != 0; }

const float* ScriptedInput::joystickAxes(int id, int* count) {
    auto found = joysticks.find(id);
    if (found == joysticks.end() || found->second.axes.empty()) {
        *count = 0;
        return nullptr;
    }
    *count = static_cast<int>(found->second.axes.size());
    return found->second.axes.data();
}

const unsigned char* ScriptedInput::joystickButtons(int id, int* count) {
    auto found = joysticks.find(id);
    if (found == joysticks.end() || found->second.buttons.empty()) {
        *count = 0;
        return nullptr;
    }
    *count = static_cast<int>(found->second.buttons.size());
    return found->second.buttons.data();
}
