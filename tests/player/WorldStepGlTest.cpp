#include "player/WorldStep.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/GameState.h"
#include "core/ScriptedInput.h"
#include "player/PlayerFigure.h"
#include "player/PlayerNode.h"
#include "render/Environment.h"
#include "support/GlContext.h"
#include "support/MustBuild.h"
#include "world/CourseBuilder.h"
#include "world/LevelLoader.h"

namespace {

// Level 1 flown with the same keys on the game's level (meshes, lights,
// the loader's terrain) and on the course set up without GL: the world step
// must not tell them apart.
class WorldStepGlTest : public GlTest {
protected:
    // W for a second, A for two, then nothing: a dive, a bank, a glide.
    std::vector<glm::vec3> fly(PlayerNode* player) {
        gameState.player = player;
        gameState.sceneRoot->addChild(player);
        gameState.raceTime = 0.0;
        ScriptedInput input;
        Input::install(&input);
        std::vector<glm::vec3> track;
        for (int k = 0; k < 300; ++k) {
            if (k == 0) input.press(GLFW_KEY_W);
            if (k == 60) input.releaseAll(), input.press(GLFW_KEY_A);
            if (k == 180) input.releaseAll();
            player->controls = player->readControls();
            worldStep(1.0 / 60.0, environment.levelLights);
            track.push_back(glm::vec3(player->getWorldMatrix()[3]));
        }
        Input::install(nullptr);
        return track;
    }
};

TEST_F(WorldStepGlTest, TheCourseWithoutGlFliesAsTheGamesLevel) {
    enterDataCopy();
    gameState.levelNumber = 1;
    testing::internal::CaptureStdout();
    ASSERT_NE(loadLevel(), nullptr);
    PlayerNode* drawn = assemblePlayer(context->window, MustBuild());
    testing::internal::GetCapturedStdout();
    ASSERT_NE(drawn, nullptr);
    const std::vector<glm::vec3> game = fly(drawn);
    state.deleteScene();

    CourseBuilder course;
    ASSERT_TRUE(course.build(1));
    const std::vector<glm::vec3> bare = fly(assemblePlayer(nullptr, PlayerParts::bare()));
    state.deleteScene();
    ASSERT_EQ(bare.size(), game.size());
    for (size_t k = 0; k < game.size(); ++k) ASSERT_EQ(bare[k], game[k]) << "step " << k;
    EXPECT_NE(game.front(), game.back());
}

}  // namespace
