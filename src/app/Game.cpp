#include "app/Game.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <iostream>

#include "app/GameSettings.h"
#include "app/GameState.h"
#include "app/Input.h"
#include "scene/Node.h"

Game::Game(GLFWwindow* window) : window(window) {}

void Game::setUp(double now) {
    glClearColor(0.14f, 0.25f, 0.43f, 0.0f);
    glViewport(0, 0, gameSettings.width, gameSettings.height);

    gameState.terrainExtent[0] = 2048;
    gameState.terrainExtent[1] = 2048;

    nextFpsTime = now + 1.0;
    framesCounted = 0;
    lastFrameTime = now;
}

void Game::countFrame(double now) {
    if (now > nextFpsTime) {
        nextFpsTime = now + 1.0;
        std::printf("FPS: %i\n", framesCounted);
        framesCounted = 0;
    }
    framesCounted += 1;
}

bool Game::runPass(double now) {
    if (glfwWindowShouldClose(window)) return false;

    countFrame(now);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    double dt = now - lastFrameTime;
    lastFrameTime = now;

    glfwPollEvents();
    gameState.running = Input::current().getKey(window, GLFW_KEY_ESCAPE) != GLFW_PRESS;

    if (gameState.sceneRoot) {
        gameState.sceneRoot->update(dt);
        gameState.sceneRoot->draw();
        gameState.sceneRoot->drawTransparent();
    }

    glfwSwapBuffers(window);
    checkGlError();
    glFlush();
    glFinish();
    return gameState.running;
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

void Game::tearDown() {
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
    glfwTerminate();
}

void runGame(GLFWwindow* window) {
    Game game(window);
    game.setUp(glfwGetTime());
    while (game.runPass(glfwGetTime())) {
    }
    game.tearDown();
}
