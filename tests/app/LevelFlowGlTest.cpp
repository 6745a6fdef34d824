#include "app/LevelFlow.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/GameState.h"
#include "app/Highscores.h"
#include "app/Hud.h"
#include "app/LevelRebuild.h"
#include "core/ScriptedInput.h"
#include "player/PlayerNode.h"
#include "render/GeometryNode.h"
#include "scene/CollisionRegistry.h"
#include "scene/CameraNode.h"
#include "support/GameFrames.h"
#include "support/GlContext.h"
#include "support/MapImage.h"
#include "world/LevelLoader.h"
#include "world/LevelObjects.h"

namespace {

// A small flat level map with its goal at terrain vertex (2, 2): too small
// to be baked, so no post-processing is needed.
void saveMap(const std::string& path) {
    MapImage map(4, 4);
    map.mark(2, 2, 0, 255);
    map.save(path);
}

// The real level change, with the real level loader and text nodes, in a
// copy of the game data whose maps are the test's own.
class LevelFlowGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) return;
        enterDataCopy(true);
        for (int level : {1, 2, 10}) saveMap("Maps/map" + std::to_string(level) + ".png");
        Input::install(&input);
        presetHighscores();

        camera = new CameraNode();
        player = new PlayerNode(nullptr);
        player->startPosition = glm::vec3(0.0f, 130.0f, 50.0f);
        player->addChild(camera);
        gameState.player = player;
        testing::internal::CaptureStdout();
        loadLevel();
        hud = new Hud();
        testing::internal::GetCapturedStdout();
        ASSERT_NE(gameState.terrain, nullptr);
        gameState.sceneRoot->addChild(player);
        hud->setUp();
    }
    void TearDown() override {
        delete hud;
        GlTest::TearDown();
    }

    // The game's update with the real level build, one step a frame; the
    // flight model is left out: the tests place the player.
    void pass(double dt) {
        if (!frames) {
            frames.reset(new GameFrames(dt));
            frames->textKeys = [this](double seconds) { hud->update(nullptr, seconds); };
            frames->levelBuild = [this] {
                rebuildLevel();
                hud->setLevelText();
            };
            frames->stepWith = [](double seconds) {
                raceStep(seconds);
                gameState.sceneRoot->Node::update(0.0);
            };
            frames->texts = [this] { hud->setTimeText(); };
        }
        // Scripted frames hold no loading time: every one is flown.
        frames->restartClock();
        frames->run(dt);
        hud->drawTexts();
        drawEndOfLevel(*hud);
    }

    std::vector<Node*> rootChildren() {
        return std::vector<Node*>(gameState.sceneRoot->children.begin(), gameState.sceneRoot->children.end());
    }

    ScriptedInput input;
    CameraNode* camera = nullptr;
    PlayerNode* player = nullptr;
    Hud* hud = nullptr;
    std::unique_ptr<GameFrames> frames;
};

}  // namespace

TEST_F(LevelFlowGlTest, SpaceOnTheEndScreenBuildsTheNextLevelAroundThePlayer) {
    pass(0.5);
    // Past the goal (terrain z 0) in terrain space.
    player->setPosition(glm::vec3(gameState.terrain->getWorldMatrix() * glm::vec4(0.0f, 50.0f, 300.0f, 1.0f)));
    gameState.sceneRoot->Node::update(0.0);
    player->Node::update(0.0);
    testing::internal::CaptureStdout();
    pass(0.5);
    ASSERT_TRUE(hud->wasDrawn(Hud::FINISHED));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    input.press(GLFW_KEY_SPACE);
    pass(0.5);
    input.release(GLFW_KEY_SPACE);
    for (int i = 0; i < 4; ++i) pass(0.5);
    std::string console = testing::internal::GetCapturedStdout();

    EXPECT_EQ(gameState.levelNumber, 2);
    EXPECT_EQ(gameState.levelChangeCountdown, -1.0);
    EXPECT_NE(console.find("Deleting Geometry"), std::string::npos) << "the old level was not deleted";
    ASSERT_NE(gameState.terrain, nullptr);
    EXPECT_EQ(gameState.terrain, currentTerrain);
    EXPECT_EQ(rootChildren(), (std::vector<Node*>{gameState.terrain, player}));
    EXPECT_EQ(player->parent, gameState.sceneRoot);
    EXPECT_EQ(camera->parent, player);
    EXPECT_EQ(activeCamera, camera);
    EXPECT_STREQ(hud->text(Hud::LEVEL), "Level:2");

    // The next pass starts the new run at the start.
    pass(0.5);
    EXPECT_EQ(glm::vec3(player->translationMatrix[3]), player->startPosition);
    EXPECT_FALSE(player->stopped);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(LevelFlowGlTest, ALevelThatCannotBeBuiltEndsTheGameKeepingThePlayerOwned) {
    gameState.levelNumber = 5;  // no map
    testing::internal::CaptureStdout();
    rebuildLevel();
    std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("Maps/map5.png"), std::string::npos) << console;
    EXPECT_FALSE(gameState.running);
    EXPECT_EQ(gameState.terrain, nullptr);
    ASSERT_NE(gameState.sceneRoot, nullptr);
    EXPECT_EQ(rootChildren(), std::vector<Node*>{player});
    EXPECT_EQ(camera->parent, player);
}

// An own course is built from its map like a level without a light map; one
// that can no longer be read says so in one line and level 1 is flown
// instead, without ending the game.
TEST_F(LevelFlowGlTest, AnOwnCourseIsBuiltFromItsMapAndABrokenOneGivesWayToLevelOne) {
    MapImage course(8, 8);
    course.mark(3, 3, 0, 255);
    course.save("course.png");
    gameState.ownCourse = {11, "course.png", "mine", "0123456789abcdef"};
    gameState.levelNumber = 11;
    testing::internal::CaptureStdout();
    rebuildLevel();
    std::string console = testing::internal::GetCapturedStdout();
    ASSERT_NE(gameState.terrain, nullptr) << console;
    EXPECT_TRUE(gameState.running);
    EXPECT_NE(console.find("course.png has no light map and is 8x8 pixels"), std::string::npos) << console;
    EXPECT_EQ(collisionRegistry.columns, 8u);

    std::ofstream("course.png") << "painted over";
    testing::internal::CaptureStdout();
    gameState.levelChangePending = true;
    gameState.levelChangeCountdown = 0.0;
    pass(0.5);
    console = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(gameState.running);
    EXPECT_EQ(gameState.levelNumber, 1);
    EXPECT_STREQ(hud->text(Hud::LEVEL), "Level:1");
    ASSERT_NE(gameState.terrain, nullptr);
    EXPECT_EQ(collisionRegistry.columns, 4u);
    const size_t line = console.find("Course mine cannot be flown: ");
    EXPECT_NE(line, std::string::npos) << console;
    EXPECT_EQ(console.find("course.png", console.find('\n', line)), std::string::npos) << console;
    EXPECT_EQ(rootChildren(), (std::vector<Node*>{gameState.terrain, player}));
}

TEST_F(LevelFlowGlTest, RebuildingTwiceLeavesOneLevelUnderTheRoot) {
    gameState.levelNumber = 10;
    testing::internal::CaptureStdout();
    rebuildLevel();
    gameState.levelNumber = 1;
    rebuildLevel();
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(gameState.running);
    ASSERT_NE(gameState.terrain, nullptr);
    EXPECT_EQ(rootChildren(), (std::vector<Node*>{gameState.terrain, player}));
}
