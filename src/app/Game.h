#pragma once

#include <functional>

#include "app/BoardControl.h"
#include "app/OwnCourses.h"
#include "app/PauseControl.h"
#include "app/StepClock.h"

struct GLFWwindow;
class BoardView;
class FBORenderer;
class Ghosts;
class Hud;

// The game itself: set-up, the frame loop one pass at a time, teardown.
// runGame drives it with the real clock; tests and tools drive it pass by
// pass with their own.
class Game {
public:
    explicit Game(GLFWwindow* window);
    ~Game();

    // False when the game cannot start (a level or a player part is
    // unusable); the reason is on the console already.
    bool setUp();
    // Starts the frame clock at `now` (seconds), once set-up is done.
    void startClock(double now);
    // One pass of the frame loop at clock reading `now` (seconds): update,
    // draw, swap. False once the loop must end.
    bool runPass(double now);
    // The update half of a pass: input once, the level change, the fixed
    // simulation steps the frame's time holds, the end-of-level screen.
    void update(double now);
    // The draw half of a pass, into the window's current framebuffer size.
    void draw();
    // Builds `level` at once, as the level change at the end of a countdown
    // does (level text, ghosts, the next frame's time). False when it could
    // not be built.
    bool changeLevel(int level);
    // Frees everything; the best times are written unless `saveScores` is
    // false (tools that must not touch the player's file).
    void tearDown(bool saveScores = true);

    // Called after each simulation step; the autopilot steers there.
    std::function<void()> afterStep;

private:
    void countFrame(double now);
    bool levelChange();
    void readInput(double frameSeconds);
    bool boardInput();
    void followFramebufferSize();
    bool blurring() const;
    void drawOpaquePass();
    void checkGlError();

    GLFWwindow* window;
    FBORenderer* motionBlurRenderer = nullptr;
    Hud* hud = nullptr;
    Ghosts* ghosts = nullptr;
    BoardView* boardView = nullptr;
    BoardControl boardControl;
    OwnCourses ownCourses;
    StepClock stepClock;
    PauseControl pauseControl;
    double lastFrameTime = 0.0;
    double nextFpsTime = 0.0;
    int framesCounted = 0;
    // Set when a level was built: the next frame's time is the loading time,
    // which nobody flew.
    bool levelJustBuilt = false;
    int framebufferWidth = 0;
    int framebufferHeight = 0;
};

// Runs the game in `window` until it is closed or Escape is pressed and
// terminates GLFW. Returns the process exit code: 0, or 1 when a level or
// the player could not be built.
int runGame(GLFWwindow* window);
