#pragma once

#include <string>

struct GLFWwindow;
struct GLFWmonitor;

// Opens a window with a current OpenGL 3.3 core context and GLEW loaded, for
// the game, the tools and the GL tests alike. It prints nothing: a failure
// says which step failed and why, and the caller decides what to tell and
// how to end.
class WindowOpener {
public:
    enum class Step { none, glfw, window, glew };
    struct Failure {
        Step step = Step::none;
        std::string why;
        explicit operator bool() const { return step != Step::none; }
    };
    struct Request {
        std::string title;
        int width = 800;
        int height = 600;
        bool visible = true;
        GLFWmonitor* monitor = nullptr;  // full screen on it when set
        int refreshRate = -1;            // GLFW_DONT_CARE
    };

    // Starts GLFW; callers that look at the screen before they choose a
    // window size call it first, open() calls it otherwise.
    Failure startGlfw();
    // On failure no window is left and GLFW is terminated.
    Failure open(const Request& request);

    GLFWwindow* window = nullptr;

private:
    bool glfwStarted = false;
};
