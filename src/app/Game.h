#pragma once

struct GLFWwindow;

// The game itself: set-up, the frame loop one pass at a time, teardown.
// runGame drives it with the real clock; tests drive it pass by pass.
class Game {
public:
    explicit Game(GLFWwindow* window);

    void setUp(double now);
    // One pass of the frame loop at clock reading `now` (seconds); false once
    // the loop must end.
    bool runPass(double now);
    void tearDown();

private:
    void countFrame(double now);
    void checkGlError();

    GLFWwindow* window;
    double lastFrameTime = 0.0;
    double nextFpsTime = 0.0;
    int framesCounted = 0;
};

// Runs the game in `window` until it is closed or Escape is pressed;
// terminates GLFW before it returns.
void runGame(GLFWwindow* window);
