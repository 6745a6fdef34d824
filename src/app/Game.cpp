#include "app/Game.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "core/Audio.h"
#include "core/Console.h"
#include "app/BoardView.h"
#include "app/CourseTimes.h"
#include "app/FlightGauge.h"
#include "core/GameSettings.h"
#include "core/GameState.h"
#include "app/Ghosts.h"
#include "app/Highscores.h"
#include "app/Hud.h"
#include "app/LevelRebuild.h"
#include "core/RenderSettings.h"
#include "app/SettingKeys.h"
#include "player/WorldStep.h"
#include "player/PlayerFigure.h"
#include "player/PlayerNode.h"
#include "render/Environment.h"
#include "render/FBORenderer.h"
#include "render/GeometryNode.h"
#include "render/LightNode.h"
#include "render/PostProcessing.h"
#include "render/RenderResources.h"
#include "scene/CameraNode.h"
#include "scene/CollisionRegistry.h"
#include "world/LevelLoader.h"

namespace {

// Flight steps a frame gives the own courses' par times while the board is
// open: about a millisecond of CPU (reading and checking a map without the
// flight takes 30 to 70 ms, once per course), so the board answers at once.
constexpr int OWN_COURSE_STEPS = 1200;

}  // namespace

Game::Game(GLFWwindow* window)
    : FrameUpdate(window), boardControl(std::make_unique<BoardControl>()), ownCourses(std::make_unique<OwnCourses>()) {}

Game::~Game() = default;
Game::Game(Game&&) noexcept = default;
Game& Game::operator=(Game&&) noexcept = default;

bool Game::setUp() {
    ShaderFailure failure;
    const bool started = build(failure);
    // Without its programs the game cannot start.
    if (failure) console::fail(failure.lines());
    return started;
}

bool Game::build(ShaderFailure& failure) {
    // Meshes record the camera's view when they are made, so it comes first.
    if (!activeCamera) new CameraNode();

    glViewport(0, 0, gameSettings.width, gameSettings.height);
    motionBlurRenderer.reset(setUpPostProcessing(failure));
    if (!motionBlurRenderer) return false;
    // The viewport and targets fit the configured size; a window that opens
    // or is later resized to another size is followed from the first draw.
    framebufferWidth = gameSettings.width;
    framebufferHeight = gameSettings.height;

    presetHighscores();
    loadHighscores();
    courseTimes.load();

    gameState.terrainExtent[0] = LEVEL_TERRAIN_EXTENT;
    gameState.terrainExtent[1] = LEVEL_TERRAIN_EXTENT;

    gameState.player = assemblePlayer(window, failure);
    if (!gameState.player) return false;
    if (!loadLevel()) return false;
    gameState.sceneRoot->addChild(gameState.player);

    activeCamera->setRotation(-15, 0, 0);
    activeCamera->moveLocal({0.0f, -0.7f, float(gameState.cameraDistance)});
    gameState.player->addChild(activeCamera);

    hud = std::make_unique<Hud>();
    hud->setUp();
    ghosts = std::make_unique<Ghosts>();
    ghosts->setUp(failure);
    if (failure) return false;
    ghosts->levelStarted(gameState.levelNumber);
    boardView = std::make_unique<BoardView>();
    if (boardView->failure) {
        failure = boardView->failure;
        return false;
    }
    // The board and the ghosts live apart from the game, so a moved game's
    // board still reaches them.
    boardControl->hasGhost = [board = boardControl.get(), ghosts = ghosts.get()](int level) {
        const LevelCatalogue::Entry* entry = board->catalogue().find(level);
        return ghosts->hasGhost(level, entry ? entry->key : "");
    };
    boardControl->ownCourses = ownCourses.get();
    return true;
}

void Game::startClock(double now) {
    nextFpsTime = now + 1.0;
    framesCounted = 0;
    lastFrameTime = now;
    restartClock();
}

void Game::countFrame(double now) {
    if (now > nextFpsTime) {
        nextFpsTime = now + 1.0;
        std::printf("FPS: %i\n", framesCounted);
        hud->setFpsText(framesCounted, now - lastFrameTime);
        framesCounted = 0;
    }
    framesCounted += 1;
}

bool Game::runPass(double now) {
    if (glfwWindowShouldClose(window)) return false;
    update(now);
    draw();
    glfwSwapBuffers(window);
    checkGlError();
    glFlush();
    glFinish();
    return gameState.running;
}

void Game::update(double now) {
    countFrame(now);
    const double frameSeconds = now - lastFrameTime;
    lastFrameTime = now;
    const bool afterLevelBuild = levelWasJustBuilt();
    updateFrame(frameSeconds);
    // Own courses' checks and par times go on a slice a frame.
    boardControl->work(OWN_COURSE_STEPS);
    followRenderScale(frameSeconds, afterLevelBuild);
}

bool Game::changeLevel(int level) { return FrameUpdate::changeLevel(level); }

void Game::pollEvents() { glfwPollEvents(); }

void Game::readSettingKeys() { handleSettingKeys(window); }

void Game::readEnvironmentKeys() { handleEnvironmentKeys(window, *gameState.player); }

void Game::readTextKeys(double frameSeconds) { hud->update(window, frameSeconds); }

void Game::buildLevel() {
    rebuildLevel();
    // After the build: an own course that could not be built gave way to
    // level 1.
    hud->setLevelText();
    ghosts->levelStarted(gameState.levelNumber);
}

void Game::step(double seconds) { worldStep(seconds, environment.levelLights); }

void Game::stepDone(bool runStarted) {
    ghosts->afterStep(runStarted);
    if (afterStep) afterStep();
}

void Game::updateTexts() {
    hud->setTimeText();
    hud->setGaugeText(FlightGauge::read(*gameState.player, gameState.terrain, collisionRegistry).text());
}

void Game::frameDone() { ghosts->afterFrame(); }

// The frame's time is that of the previous frame's drawing, at the scale
// chosen then. A frame that held a level build, or any frame while paused or
// under the board, says nothing about the load.
void Game::followRenderScale(double frameSeconds, bool interrupted) {
    if (!RenderSettings::instance().autoRenderScale) {
        renderScaleWasAuto = false;
        gameState.renderScale = 1.0f;
        return;
    }
    if (interrupted || gameState.paused || gameState.boardOpen || !renderScaleWasAuto) renderScale.interrupt();
    else renderScale.frame(frameSeconds);
    renderScaleWasAuto = true;
    gameState.renderScale = renderScale.scale();
    refreshRenderScaleStatus();
}

// The level board reads the keys first; true while it is open (it then owns
// every key but Escape). A level chosen on it is built in this frame, as at
// the end of a level change's countdown but without the countdown.
bool Game::readBoardKeys() {
    const BoardControl::Event event = boardControl->readInput(window);
    if (event == BoardControl::Event::None) return gameState.boardOpen;
    // A captured cursor (full screen) is freed for the board's rows.
    if (gameSettings.fullscreen) {
        glfwSetInputMode(window, GLFW_CURSOR, gameState.boardOpen ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
    }
    if (event == BoardControl::Event::Opened) return true;
    // N, F and L keep their own latch: one held as the board closes waits
    // for its release like every other key.
    environmentKeyLatch = true;
    if (boardView) boardView->dropPicture();
    if (event == BoardControl::Event::Fly) {
        gameState.levelNumber = boardControl->flownLevel();
        gameState.levelChangePending = true;
        gameState.levelChangeCountdown = 0.0;
    }
    return false;
}

void Game::draw() { drawAtScale(gameState.renderScale); }

void Game::drawAtScale(float scale) {
    followFramebufferSize();
    // A minimised window has nothing to draw into.
    if (framebufferWidth <= 0 || framebufferHeight <= 0) return;
    const bool board = gameState.boardOpen && boardView;
    if (board && boardView->hasPicture(framebufferWidth, framebufferHeight)) {
        boardView->draw(boardControl->board(), gameState.keyBindings);
        return;
    }
    if (scale < 1.0f) {
        drawScaledScene(scale);
    } else {
        // Through the blur, the window is cleared just before the blur pass.
        if (!blurring()) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawOpaquePass();
        gameState.sceneRoot->drawTransparent();
        ghosts->drawTransparent();
    }
    if (board) {
        boardView->keepPicture(framebufferWidth, framebufferHeight);
        boardView->draw(boardControl->board(), gameState.keyBindings);
        return;
    }
    // The texts and the rest keep the window's own sharpness.
    hud->drawTexts();
    hud->drawGaugeAndPause();
    drawEndOfLevel(*hud);
}

// The picture fills the window whatever its size; the projection keeps its
// aspect and is stretched, as a non-4:3 window size always was.
void Game::followFramebufferSize() {
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    if (width == framebufferWidth && height == framebufferHeight) return;
    framebufferWidth = width;
    framebufferHeight = height;
    if (width <= 0 || height <= 0) return;
    glViewport(0, 0, width, height);
    resizeSceneTargets(width, height);
    if (motionBlurRenderer) {
        motionBlurRenderer->width = width;
        motionBlurRenderer->height = height;
    }
}

// Below blur speed the blur pass would copy the picture unchanged; it is
// drawn straight into the window instead.
bool Game::blurring() const {
    return gameState.motionBlur && motionBlurStrength(gameState.player->speed) > 0.0f;
}

void Game::drawOpaquePass() {
    if (!blurring()) {
        gameState.sceneRoot->draw();
        // The blur pass leaves the window without the scene's depth, so the
        // transparent pass goes over everything; below blur speed it must
        // look the same.
        if (gameState.motionBlur) glClear(GL_DEPTH_BUFFER_BIT);
        return;
    }
    bindMotionBlurTarget();
    gameState.sceneRoot->draw();
    bindDefaultTarget();
    // Cleared here, not first: for a software renderer a clear of the window
    // before the off-screen pass is a pass of its own, with its own wait for
    // the renderer's threads (flight frames ran up to about 2 ms slower, their
    // slowest twentieth up to about 6 ms). The blur pass writes every pixel of
    // the window, unless it is drawn as lines (F3): only then is colour
    // cleared.
    glClear(gameState.wireframe ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_DEPTH_BUFFER_BIT);
    motionBlurRenderer->render(gameState.player->speed);
}

// Both passes go to the scene target at the smaller size and the blur runs
// at that size too (its cost falls with the square of the scale); one
// bilinear sample a window pixel then puts it on the window, which is the
// only pass at the window's size.
void Game::drawScaledScene(float scale) {
    const int width = std::max(1, int(std::lround(float(framebufferWidth) * scale)));
    const int height = std::max(1, int(std::lround(float(framebufferHeight) * scale)));
    bindScaledSceneTarget(width, height);
    gameState.sceneRoot->draw();
    // As drawn into the window: with the blur on, the transparent pass goes
    // over everything, and in any case it leaves the motion data alone.
    if (gameState.motionBlur) glClear(GL_DEPTH_BUFFER_BIT);
    sceneTargetColourOnly();
    gameState.sceneRoot->drawTransparent();
    ghosts->drawTransparent();
    const bool blurred = blurring();
    if (blurred) blurScaledScene(*motionBlurRenderer, gameState.player->speed, width, height, gameState.wireframe);
    bindDefaultTarget();
    glViewport(0, 0, framebufferWidth, framebufferHeight);
    // Cleared after the off-screen passes, as in drawOpaquePass.
    glClear(gameState.wireframe ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_DEPTH_BUFFER_BIT);
    scaleUpScene(*motionBlurRenderer, blurred, width, height, framebufferWidth, framebufferHeight);
}

void Game::checkGlError() {
    GLenum error = glGetError();
    if (error == GL_NO_ERROR) return;
    std::cout << "GL ERROR DETECTED!!!" << std::endl;
    switch (error) {
        case GL_INVALID_ENUM: std::cout << "Invalid Enum!" << std::endl; break;
        case GL_INVALID_VALUE: std::cout << "Invalid Value!" << std::endl; break;
        case GL_INVALID_OPERATION: std::cout << "Invalid Operation!" << std::endl; break;
        case GL_INVALID_FRAMEBUFFER_OPERATION: std::cout << "Invalid Framebuffer Operation!" << std::endl; break;
        case GL_OUT_OF_MEMORY: std::cout << "OOM!" << std::endl; break;
        default: break;
    }
}

void Game::tearDown(bool saveScores) {
    forgetTerrain();
    // The player and its camera are the game's, not the level's: the player
    // leaves the root and goes after the level, as the root's last child
    // always went, and the camera goes whatever it hangs under.
    PlayerNode* player = gameState.player;
    gameState.player = nullptr;
    if (player && player->parent) player->parent->removeChild(player);
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
    delete activeCamera;
    delete player;
    if (ghosts && saveScores) ghosts->save();
    // GL objects go while the context still exists.
    boardView.reset();
    ghosts.reset();
    hud.reset();
    motionBlurRenderer.reset();
    if (saveScores) saveHighscores();
    if (saveScores && courseTimes.changed()) courseTimes.save();
    RenderResources::release();
    glfwTerminate();
}

int runGame(GLFWwindow* window) {
    Game game(window);
    if (!game.setUp()) {
        game.tearDown();
        return 1;
    }
    // The clock starts after loading, so the first step is one frame long.
    game.startClock(glfwGetTime());
    while (game.runPass(glfwGetTime())) {
    }
    // A level that could not be built mid-game ends the loop as well.
    bool levelLost = gameState.terrain == nullptr;
    game.tearDown();
    return levelLost ? 1 : 0;
}
