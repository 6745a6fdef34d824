#include "app/Game.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <iostream>

#include "core/Audio.h"
#include "app/BoardView.h"
#include "app/CourseTimes.h"
#include "app/FlightGauge.h"
#include "core/GameSettings.h"
#include "core/GameState.h"
#include "app/Ghosts.h"
#include "app/Highscores.h"
#include "app/Hud.h"
#include "core/Input.h"
#include "app/LevelFlow.h"
#include "app/SettingKeys.h"
#include "app/SoundCues.h"
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

Game::Game(GLFWwindow* window) : window(window) {}

Game::~Game() {
    delete boardView;
    delete ghosts;
    delete hud;
    delete motionBlurRenderer;
}

bool Game::setUp() {
    // Meshes record the camera's view when they are made, so it comes first.
    if (!activeCamera) new CameraNode();

    glViewport(0, 0, gameSettings.width, gameSettings.height);
    motionBlurRenderer = setUpPostProcessing();
    // The viewport and targets fit the configured size; a window that opens
    // or is later resized to another size is followed from the first draw.
    framebufferWidth = gameSettings.width;
    framebufferHeight = gameSettings.height;

    presetHighscores();
    loadHighscores();
    courseTimes.load();

    gameState.terrainExtent[0] = LEVEL_TERRAIN_EXTENT;
    gameState.terrainExtent[1] = LEVEL_TERRAIN_EXTENT;

    gameState.player = assemblePlayer(window);
    if (!gameState.player) return false;
    if (!loadLevel()) return false;
    gameState.sceneRoot->addChild(gameState.player);

    activeCamera->setRotation(-15, 0, 0);
    activeCamera->moveLocal({0.0f, -0.7f, float(gameState.cameraDistance)});
    gameState.player->addChild(activeCamera);

    hud = new Hud();
    hud->setUp();
    ghosts = new Ghosts();
    ghosts->setUp();
    ghosts->levelStarted(gameState.levelNumber);
    boardView = new BoardView();
    boardControl.hasGhost = [this](int level) {
        const LevelCatalogue::Entry* entry = boardControl.catalogue().find(level);
        return ghosts->hasGhost(level, entry ? entry->key : "");
    };
    boardControl.ownCourses = &ownCourses;
    return true;
}

void Game::startClock(double now) {
    nextFpsTime = now + 1.0;
    framesCounted = 0;
    lastFrameTime = now;
    stepClock.reset();
    levelJustBuilt = false;
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
    double frameSeconds = now - lastFrameTime;
    lastFrameTime = now;
    if (levelJustBuilt) frameSeconds = 0.0;
    levelJustBuilt = false;

    readInput(frameSeconds);
    boardControl.work(OWN_COURSE_STEPS);
    // Under the board the level change waits, as the flight does.
    countdownStep(gameState.boardOpen ? 0.0 : frameSeconds);
    levelJustBuilt = levelChange();

    pauseControl.runSteps(stepClock, frameSeconds, [this](double step) {
        const bool runStarts = gameState.raceTime == 0.0;
        worldStep(step, environment.levelLights);
        ghosts->afterStep(runStarts);
        if (afterStep) afterStep();
    });
    // Effects that are stable at any step length move once per frame; a
    // paused frame has nothing for them.
    if (!gameState.paused && !gameState.boardOpen) gameState.sceneRoot->frameUpdate();
    Audio::current().flight(currentFlightSound());

    hud->setTimeText();
    hud->setGaugeText(FlightGauge::read(*gameState.player, gameState.terrain, collisionRegistry).text());
    // The board owns SPACE and Joy1 while it is open.
    if (!gameState.boardOpen) endOfLevelStep(window);
    ghosts->afterFrame();
    ensureFrustum();
}

bool Game::levelChange() {
    if (!levelChangeStep(*hud)) return false;
    ghosts->levelStarted(gameState.levelNumber);
    return true;
}

bool Game::changeLevel(int level) {
    gameState.levelNumber = level;
    gameState.levelChangePending = true;
    gameState.levelChangeCountdown = 0.0;
    levelJustBuilt = levelChange();
    return gameState.terrain != nullptr;
}

// Every key and joystick of the frame is read here, once, so that every step
// of the frame sees the same controls.
void Game::readInput(double frameSeconds) {
    glfwPollEvents();
    gameState.running = Input::current().getKey(window, GLFW_KEY_ESCAPE) != GLFW_PRESS;
    if (boardInput()) return;
    handleSettingKeys(window);
    pauseControl.readInput(window);
    handleEnvironmentKeys(window, *gameState.player);
    gameState.player->controls = gameState.player->readControls();
    hud->update(window, frameSeconds);
}

// The level board reads the keys first; true while it is open (it then owns
// every key but Escape). A level chosen on it is built in this frame, as at
// the end of a level change's countdown but without the countdown.
bool Game::boardInput() {
    const BoardControl::Event event = boardControl.readInput(window);
    if (event == BoardControl::Event::None) return gameState.boardOpen;
    // A captured cursor (full screen) is freed for the board's rows.
    if (gameSettings.fullscreen) {
        glfwSetInputMode(window, GLFW_CURSOR, gameState.boardOpen ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
    }
    if (event == BoardControl::Event::Opened) return true;
    if (boardView) boardView->dropPicture();
    if (event == BoardControl::Event::Fly) {
        gameState.levelNumber = boardControl.flownLevel();
        gameState.levelChangePending = true;
        gameState.levelChangeCountdown = 0.0;
    }
    return false;
}

void Game::draw() {
    followFramebufferSize();
    // A minimised window has nothing to draw into.
    if (framebufferWidth <= 0 || framebufferHeight <= 0) return;
    const bool board = gameState.boardOpen && boardView;
    if (board && boardView->hasPicture(framebufferWidth, framebufferHeight)) {
        boardView->draw(boardControl.board(), gameState.keyBindings);
        return;
    }
    // Through the blur, the window is cleared just before the blur pass.
    if (!blurring()) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawOpaquePass();
    gameState.sceneRoot->drawTransparent();
    ghosts->drawTransparent();
    if (board) {
        boardView->keepPicture(framebufferWidth, framebufferHeight);
        boardView->draw(boardControl.board(), gameState.keyBindings);
        return;
    }
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
    // The root owns the level and, while attached, the player and its camera.
    if (gameState.player && !gameState.player->parent) delete gameState.player;
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
    gameState.player = nullptr;
    if (activeCamera && !activeCamera->parent) delete activeCamera;
    if (ghosts && saveScores) ghosts->save();
    // GL objects go while the context still exists.
    delete boardView;
    boardView = nullptr;
    delete ghosts;
    ghosts = nullptr;
    delete hud;
    hud = nullptr;
    delete motionBlurRenderer;
    motionBlurRenderer = nullptr;
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
