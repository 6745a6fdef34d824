#pragma once

struct GLFWwindow;
struct GLFWgamepadstate;

// Every keyboard and joystick read of the game goes through here, so that
// tests and the autopilot can drive the game with scripted input. This base
// reads nothing (no key pressed, no joystick, no focus): the devices are read
// by a subclass above the core, which links GLFW.
class Input {
public:
    virtual ~Input() = default;

    // GLFW_PRESS or GLFW_RELEASE, as glfwGetKey.
    virtual int getKey(GLFWwindow* window, int key);
    virtual bool joystickPresent(int id);
    // Null with *count 0 when the joystick reports nothing.
    virtual const float* joystickAxes(int id, int* count);
    virtual const unsigned char* joystickButtons(int id, int* count);
    // True when GLFW knows the joystick's layout (its gamepad mapping).
    virtual bool joystickIsGamepad(int id);
    // The joystick read through its gamepad mapping; false when it has none.
    virtual bool gamepadState(int id, GLFWgamepadstate* state);
    // Whether the window has the keyboard focus.
    virtual bool windowFocused(GLFWwindow* window);
    // The left mouse button is down.
    virtual bool mouseButtonDown(GLFWwindow* window);
    // Where the cursor is, as a fraction of the window's width and height
    // from its top-left corner; false when the cursor is not known.
    virtual bool cursorPosition(GLFWwindow* window, double& x, double& y);

    // The input in use: the devices unless a replacement is installed.
    static Input& current();
    // Installs a replacement (not owned); nullptr restores the devices.
    static void install(Input* replacement);
    // Sets the devices' input (not owned; nullptr: none, this base).
    static void useDevices(Input* devices);
};
