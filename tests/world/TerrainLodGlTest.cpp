#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameFlight.h"
#include "app/Game.h"
#include "core/GameState.h"
#include "app/LevelFlow.h"
#include "core/RenderSettings.h"
#include "core/ScriptedInput.h"
#include "player/PlayerNode.h"
#include "render/GeometryNode.h"
#include "render/LightNode.h"
#include "render/PictureDifference.h"
#include "world/TerrainMesh.h"
#include "scene/CameraNode.h"
#include "support/GameGlTest.h"
#include "world/LevelLoader.h"
#include "world/LevelObjects.h"

namespace {

// The real game set up in a hidden 800 x 600 window; levels are flown by the
// autopilot without drawing, and pictured with motion blur off.
class TerrainLodGlTest : public GameGlTest {
protected:
    void SetUp() override {
        GameGlTest::SetUp();
        if (HasFatalFailure()) return;
        startGame();
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
        TerrainMesh* mesh = dynamic_cast<TerrainMesh*>(static_cast<GeometryNode*>(currentTerrain)->meshes[0]);
        ASSERT_NE(mesh, nullptr);
        EXPECT_LT(mesh->trianglesDrawn, mesh->triangleCount() / 2) << where;

        // Ground left out as hidden behind nearer ground changes no pixel.
        const uint32_t culled = mesh->trianglesDrawn;
        mesh->hideBehindGround = false;
        const std::vector<unsigned char> unhidden = drawScenePicture(gameState.sceneRoot, 800, 600);
        mesh->hideBehindGround = true;
        EXPECT_EQ(comparePictures(unhidden, adaptive, 0).shareWithin, 1.0) << where;
        hiddenTriangles += mesh->trianglesDrawn - culled;
        // Nor does ground too low for snow shaded without the snow texture.
        mesh->grassAlone = false;
        const std::vector<unsigned char> withSnow = drawScenePicture(gameState.sceneRoot, 800, 600);
        mesh->grassAlone = true;
        EXPECT_EQ(comparePictures(withSnow, adaptive, 0).shareWithin, 1.0) << where;
    }

    // At the start view and every 2.5 s of the autopilot's flight through
    // the game's own frame loop: every level's flight is longer than 12.5 s.
    void flyAndCompare(int level) {
        const std::string name = "level " + std::to_string(level);
        int points = 0;
        FlightOptions options;
        options.maxSeconds = 13.0;
        options.afterPass = [&]() {
            if (gameState.player->stopped || gameState.raceTime < 2.5 * points) return;
            expectFaithful(name + ", " + std::to_string(2.5 * points) + " s");
            ++points;
        };
        testing::internal::CaptureStdout();
        const FlightResult flight = flyLevel(*game, level, input, options);
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(flight.loaded) << name;
        EXPECT_FALSE(flight.bodyContact) << name;
        EXPECT_EQ(points, 6) << name;
    }

    uint64_t hiddenTriangles = 0;
};

}  // namespace

TEST_F(TerrainLodGlTest, FallingDetailLooksLikeTheFullGridAlongTheRoute) {
    flyAndCompare(2);  // lamps by day
    flyAndCompare(4);  // fog
    flyAndCompare(5);  // night, lamps
    EXPECT_GT(hiddenTriangles, 0u);
}
