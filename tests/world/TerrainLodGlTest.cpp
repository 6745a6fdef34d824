#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Autopilot.h"
#include "app/Game.h"
#include "app/GameState.h"
#include "app/LevelFlow.h"
#include "app/RenderSettings.h"
#include "app/ScriptedInput.h"
#include "player/PlayerNode.h"
#include "render/Environment.h"
#include "render/GeometryNode.h"
#include "render/LightNode.h"
#include "render/PictureDifference.h"
#include "render/TerrainMesh.h"
#include "scene/CameraNode.h"
#include "scene/CollisionRegistry.h"
#include "support/GlContext.h"
#include "world/LevelLoader.h"
#include "world/LevelObjects.h"

namespace {

// The real game set up in a hidden 800 x 600 window; levels are flown by the
// autopilot without drawing, and pictured with motion blur off.
class TerrainLodGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) return;
        Input::install(&input);
        gameState = GameState{};
        game = new Game(context->window);
        testing::internal::CaptureStdout();
        const bool ready = game->setUp();
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(ready);
    }
    void TearDown() override {
        // Not the game's teardown: it would write highscores.ini into data/.
        delete gameState.sceneRoot;
        gameState.sceneRoot = nullptr;
        delete game;
        currentTerrain = nullptr;
        collisionRegistry = CollisionRegistry();
        environment.clearLights();
        RenderSettings::instance().fullTerrainDetail = false;
        Input::install(nullptr);
        gameState = GameState{};
        GlTest::TearDown();
    }

    void step(double dt) {
        for (LightNode* light : environment.levelLights) light->update(dt);
        gameState.sceneRoot->update(dt);
        gameState.player->getWorldMatrix();
        collisionRegistry.testCollisions();
        ensureFrustum();
    }

    // Full grid against falling detail, here and now.
    void expectFaithful(const std::string& where) {
        RenderSettings& settings = RenderSettings::instance();
        settings.fullTerrainDetail = true;
        const std::vector<unsigned char> full = drawScenePicture(gameState.sceneRoot, 800, 600);
        settings.fullTerrainDetail = false;
        const std::vector<unsigned char> adaptive = drawScenePicture(gameState.sceneRoot, 800, 600);
        const PictureDifference d = comparePictures(full, adaptive);
        EXPECT_LE(d.meanAbsolute, 1.0) << where;
        EXPECT_GE(d.shareWithin, 0.99) << where;
        // Detail did fall: far fewer triangles than the full grid's.
        const TerrainMesh* mesh = dynamic_cast<TerrainMesh*>(currentTerrain->meshes[0]);
        ASSERT_NE(mesh, nullptr);
        EXPECT_LT(mesh->trianglesDrawn, mesh->triangleCount / 2) << where;
    }

    void flyAndCompare(int level) {
        gameState.levelNumber = level;
        testing::internal::CaptureStdout();
        rebuildLevel();
        testing::internal::GetCapturedStdout();
        ASSERT_NE(gameState.terrain, nullptr);
        PlayerNode& player = *gameState.player;
        player.reset();
        step(0.0);
        const std::string name = "level " + std::to_string(level);
        expectFaithful(name + ", start");
        Autopilot pilot(input);
        ASSERT_TRUE(pilot.beginLevel(player, *gameState.terrain, goalPosition));
        // Five points on the way, every 2.5 s: every level's flight is longer.
        for (int point = 1; point <= 5; ++point) {
            for (int frame = 0; frame < 150; ++frame) {
                pilot.steer(player, *gameState.terrain);
                step(1.0 / 60.0);
            }
            ASSERT_FALSE(player.stopped) << name;
            expectFaithful(name + ", " + std::to_string(2.5 * point) + " s");
        }
        input.releaseAll();
    }

    ScriptedInput input;
    Game* game = nullptr;
};

}  // namespace

TEST_F(TerrainLodGlTest, FallingDetailLooksLikeTheFullGridAlongTheRoute) {
    flyAndCompare(2);  // lamps by day
    flyAndCompare(4);  // fog
    flyAndCompare(5);  // night, lamps
}
