#include "support/GameGlTest.h"

#include <cstdlib>
#include <filesystem>

#include "app/Game.h"
#include "core/GameState.h"

void GameGlTest::startGame(int level) {
    // The game never seeds its random numbers; start from a fresh process's
    // state, whatever tests ran before in this one.
    std::srand(1);
    Input::install(&input);
    gameState.levelNumber = level;
    game = new Game(context->window);
    testing::internal::CaptureStdout();
    const bool ready = game->setUp();
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ready);
}

void GameGlTest::startFreshLevelOne(std::optional<bool> motionBlur) {
    enterDataCopy();
    std::filesystem::remove("highscores.ini");
    std::filesystem::remove_all("ghosts");
    startGame(1);
    if (HasFatalFailure()) return;
    if (motionBlur) gameState.motionBlur = *motionBlur;
    game->startClock(0.0);
    testing::internal::CaptureStdout();
    game->update(1.0 / 60.0);
    testing::internal::GetCapturedStdout();
}

void GameGlTest::TearDown() {
    // The scene holds the player, which the game's parts may still point to.
    state.deleteScene();
    delete game;
    game = nullptr;
    GlTest::TearDown();
}
