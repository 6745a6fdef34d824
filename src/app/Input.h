#pragma once

struct GLFWwindow;

// Every keyboard and joystick read of the game goes through here, so that
// tests and the autopilot can drive the game with scripted input.
class Input {
public:
    virtual ~Input() = default;

    // GLFW_PRESS or GLFW_RELEASE, as glfwGetKey.
    virtual int getKey(GLFWwindow* window, int key);
    virtual bool joystickPresent(int id);
    // Null with *count 0 when the joystick reports nothing.
    virtual const float* joystickAxes(int id, int* count);
    virtual const unsigned char* joystickButtons(int id, int* count);

    // The input in use: GLFW unless a replacement is installed.
    static Input& current();
    // Installs a replacement (not owned); nullptr restores GLFW.
    static void install(Input* replacement);
};
