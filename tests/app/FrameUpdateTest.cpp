#include "app/FrameUpdate.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/GameState.h"
#include "player/PlayerNode.h"
#include "player/WorldStep.h"
#include "support/GameFrames.h"
#include "support/ProcessState.h"
#include "support/ScopedDirectory.h"
#include "world/CourseBuilder.h"

namespace {

// Level 1's start set up without GL and flown on the same keys by a bare
// loop of world steps and by the game's frame update.
class FrameUpdateTest : public ScriptedInputTest {
protected:
    void TearDown() override { delete gameState.sceneRoot; }

    void startCourse() {
        delete gameState.sceneRoot;
        ASSERT_TRUE(course.build(1));
        gameState.player = assemblePlayer(nullptr, PlayerParts::bare());
        gameState.sceneRoot->addChild(gameState.player);
        gameState.raceTime = 0.0;
    }
    // W for 21 steps, A for 30, then nothing: a dip, a bank, a glide that
    // neither crashes nor finishes. The keys change where a frame of three
    // steps begins.
    void keysFor(int step) {
        input.releaseAll();
        if (step < 21) input.press(GLFW_KEY_W);
        if (step >= 60 && step < 90) input.press(GLFW_KEY_A);
    }
    glm::vec3 position() const { return glm::vec3(gameState.player->getWorldMatrix()[3]); }

    ScopedDirectory data{MOORGLIDE_DATA_DIR};
    CourseBuilder course;
};

}  // namespace

TEST_F(FrameUpdateTest, TheGamesUpdateFliesTheCourseAsBareWorldSteps) {
    startCourse();
    std::vector<glm::vec3> bare;
    for (int k = 0; k < 300; ++k) {
        keysFor(k);
        gameState.player->controls = gameState.player->readControls();
        worldStep(StepClock::STEP, {});
        bare.push_back(position());
    }

    startCourse();
    std::vector<glm::vec3> game;
    GameFrames frames;
    frames.afterEachStep = [&] { game.push_back(position()); };
    // Frames of three steps; the keys change between frames.
    for (int k = 0; k < 100; ++k) {
        keysFor(3 * k);
        frames.run(3 * StepClock::STEP);
    }
    ASSERT_EQ(game.size(), bare.size());
    for (size_t k = 0; k < bare.size(); ++k) ASSERT_EQ(game[k], bare[k]) << "step " << k;
    EXPECT_NE(bare.front(), bare.back());
    EXPECT_FALSE(gameState.player->stopped);
}
