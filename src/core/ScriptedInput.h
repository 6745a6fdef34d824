#pragma once

#include <map>
#include <set>
#include <vector>

#include <GLFW/glfw3.h>

#include "core/Input.h"

// Input played from a script instead of the devices: keys are held until
// released, joysticks report whatever axes and buttons were set.
class ScriptedInput : public Input {
public:
    void press(int key) { held.insert(key); }
    void release(int key) { held.erase(key); }
    void releaseAll() { held.clear(); }
    bool isHeld(int key) const { return held.count(key) != 0; }

    void setJoystick(int id, std::vector<float> axes, std::vector<unsigned char> buttons);
    void unplugJoystick(int id) {
        joysticks.erase(id);
        gamepads.erase(id);
    }
    // A joystick that GLFW recognises as a gamepad, read through its mapping.
    void setGamepad(int id, const GLFWgamepadstate& state);
    void setFocused(bool hasFocus) { focused = hasFocus; }
    // The cursor as a fraction of the window from its top-left corner.
    void moveCursor(double x, double y) {
        cursorX = x;
        cursorY = y;
    }
    void setMouseButton(bool down) { mouseDown = down; }

    int getKey(GLFWwindow* window, int key) override;
    bool joystickPresent(int id) override;
    const float* joystickAxes(int id, int* count) override;
    const unsigned char* joystickButtons(int id, int* count) override;
    bool joystickIsGamepad(int id) override;
    bool gamepadState(int id, GLFWgamepadstate* state) override;
    bool windowFocused(GLFWwindow* window) override;
    bool mouseButtonDown(GLFWwindow* window) override;
    bool cursorPosition(GLFWwindow* window, double& x, double& y) override;

private:
    struct Joystick {
        std::vector<float> axes;
        std::vector<unsigned char> buttons;
    };
    std::set<int> held;
    std::map<int, Joystick> joysticks;
    std::map<int, GLFWgamepadstate> gamepads;
    bool focused = true;
    double cursorX = 0.0, cursorY = 0.0;
    bool mouseDown = false;
};
