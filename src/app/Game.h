#pragma once

struct GLFWwindow;
class FBORenderer;
class Hud;

// The game itself: set-up, the frame loop one pass at a time, teardown.
// runGame drives it with the real clock; tests drive it pass by pass.
class Game {
public:
    explicit Game(GLFWwindow* window);
    ~Game();

    // False when the game cannot start (a level or a player part is
    // unusable); the reason is on the console already.
    bool setUp();
    // Starts the frame clock at `now` (seconds), once set-up is done.
    void startClock(double now);
    // One pass of the frame loop at clock reading `now` (seconds); false once
    // the loop must end.
    bool runPass(double now);
    void tearDown();

private:
    void countFrame(double now);
    void drawOpaquePass();
    void checkGlError();

    GLFWwindow* window;
    FBORenderer* motionBlurRenderer = nullptr;
    Hud* hud = nullptr;
    double lastFrameTime = 0.0;
    double nextFpsTime = 0.0;
    int framesCounted = 0;
};

// Runs the game in `window` until it is closed or Escape is pressed and
// terminates GLFW. Returns the process exit code: 0, or 1 when a level or
// the player could not be built.
int runGame(GLFWwindow* window);
