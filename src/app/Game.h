#pragma once

#include <functional>
#include <memory>

#include "app/FrameUpdate.h"
#include "render/ShaderFailure.h"
#include "app/BoardControl.h"
#include "app/OwnCourses.h"
#include "app/RenderScaleController.h"

struct GLFWwindow;
class BoardView;
class FBORenderer;
class Ghosts;
class Hud;

// The game itself: set-up, the frame loop one pass at a time, teardown.
// runGame drives it with the real clock; tests and tools drive it pass by
// pass with their own. The update's order is FrameUpdate's; the game adds
// the devices, the texts, the ghosts and the level build.
class Game : private FrameUpdate {
public:
    explicit Game(GLFWwindow* window);
    ~Game();
    // One game per window: it owns the window's renderer, texts and ghosts.
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    Game(Game&&) noexcept;
    Game& operator=(Game&&) noexcept;

    // False when the game cannot start (a level or a player part is
    // unusable); the reason is on the console already. A program that cannot
    // be built is shown, waits for Enter and ends the process with -1.
    bool setUp();
    // Starts the frame clock at `now` (seconds), once set-up is done.
    void startClock(double now);
    // One pass of the frame loop at clock reading `now` (seconds): update,
    // draw, swap. False once the loop must end.
    bool runPass(double now);
    // The update half of a pass: input once, the level change, the fixed
    // simulation steps the frame's time holds, the end-of-level screen.
    void update(double now);
    // The draw half of a pass, into the window's current framebuffer size,
    // the scene at the render scale of the frame's update.
    void draw();
    // draw with the scene at `scale` of the window's width and height (1:
    // the window itself, as with the scale fixed at full).
    void drawAtScale(float scale);
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
    // setUp up to the first program that cannot be built (`failure` then).
    bool build(ShaderFailure& failure);

    void pollEvents() override;
    void readSettingKeys() override;
    void readEnvironmentKeys() override;
    void readTextKeys(double frameSeconds) override;
    void buildLevel() override;
    void step(double seconds) override;
    void stepDone(bool runStarted) override;
    void updateTexts() override;
    void frameDone() override;

    void countFrame(double now);
    bool readBoardKeys() override;
    void followFramebufferSize();
    void followRenderScale(double frameSeconds, bool interrupted);
    bool blurring() const;
    void drawOpaquePass();
    void drawScaledScene(float scale);
    void checkGlError();

    std::unique_ptr<FBORenderer> motionBlurRenderer;
    std::unique_ptr<Hud> hud;
    std::unique_ptr<Ghosts> ghosts;
    std::unique_ptr<BoardView> boardView;
    std::unique_ptr<BoardControl> boardControl;
    std::unique_ptr<OwnCourses> ownCourses;
    RenderScaleController renderScale;
    // The scale followed the frame time last frame too.
    bool renderScaleWasAuto = false;
    double lastFrameTime = 0.0;
    double nextFpsTime = 0.0;
    int framesCounted = 0;
    int framebufferWidth = 0;
    int framebufferHeight = 0;
};

// Runs the game in `window` until it is closed or Escape is pressed and
// terminates GLFW. Returns the process exit code: 0, or 1 when a level or
// the player could not be built.
int runGame(GLFWwindow* window);
