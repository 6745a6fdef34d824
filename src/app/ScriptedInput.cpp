#include "app/ScriptedInput.h"

#include <GLFW/glfw3.h>

void ScriptedInput::setJoystick(int id, std::vector<float> axes, std::vector<unsigned char> buttons) {
    joysticks[id] = Joystick{std::move(axes), std::move(buttons)};
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
