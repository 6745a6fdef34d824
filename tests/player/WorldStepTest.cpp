#include "player/WorldStep.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/GameState.h"
#include "player/FlightConstants.h"
#include "player/PlayerNode.h"
#include "player/RaceStep.h"
#include "scene/CollisionRegistry.h"
#include "support/MapImage.h"
#include "support/ProcessState.h"
#include "support/ScopedDirectory.h"
#include "support/TempDir.h"
#include "world/CourseBuilder.h"

namespace {

constexpr double STEP = 1.0 / 60.0;

// A level set up without GL, with the bare figure at its start, flown step by
// step through the game's world step.
class WorldStepTest : public ScriptedInputTest {
protected:
    bool startLevel(int level) {
        if (!course.build(level)) return false;
        player = assemblePlayer(nullptr, PlayerParts::bare());
        gameState.sceneRoot->addChild(player);
        gameState.player = player;
        return true;
    }
    void TearDown() override {
        delete gameState.sceneRoot;
        gameState.sceneRoot = nullptr;
    }
    void step() {
        player->controls = player->readControls();
        worldStep(STEP, {});
    }
    // The player's position in the terrain's own space.
    glm::vec3 local() { return glm::vec3(player->poseIn(gameState.terrain)[3]); }
    float noseHeight() { return -glm::normalize(glm::vec3(player->getWorldMatrix()[2])).y; }

    CourseBuilder course;
    PlayerNode* player = nullptr;
};

// Slower than the stall, the nose drops until the dive has made up the
// speed; above it the nose comes up again and the figure climbs above the
// slope, never touching the ground, along the track.
TEST_F(WorldStepTest, LevelOnesStartGlidesAsTheEnvelopeSays) {
    ScopedDirectory data(MOORGLIDE_DATA_DIR);
    ASSERT_TRUE(startLevel(1));
    step();
    const float startNose = noseHeight();
    float lowestNose = startNose, track = playerTrackPosition();
    bool stalled = true, climbed = false;
    for (int k = 1; k < 240; ++k) {
        const float before = noseHeight(), altitude = local().y;
        step();
        EXPECT_GT(playerTrackPosition(), track) << "step " << k;
        track = playerTrackPosition();
        lowestNose = std::min(lowestNose, noseHeight());
        if (player->speed > flight::STALL_SPEED) stalled = false;
        if (!stalled && noseHeight() > before && local().y > altitude) climbed = true;
        float ground = 0.0f;
        if (collisionRegistry.heightAt(local().x, local().z, ground)) {
            EXPECT_GT(local().y, ground) << "step " << k;
        }
    }
    EXPECT_LT(lowestNose, startNose);
    EXPECT_FALSE(stalled);
    EXPECT_TRUE(climbed);
    EXPECT_FALSE(player->stopped);
    EXPECT_NEAR(gameState.raceTime, 240 * STEP, 1e-9) << "the clock counts simulated time";
}

// A wall across the course stops the body short of it, whatever it crashes
// into first.
TEST_F(WorldStepTest, AWallAcrossTheCourseStopsTheBody) {
    TempDir dir;
    ScopedDirectory inside(dir.path());
    std::filesystem::create_directory("Maps");
    // The figure starts over the last rows and flies towards row 0.
    constexpr unsigned side = 16, wall = 12;
    MapImage map(side, side, 0);
    for (unsigned j = 0; j < side; ++j) map.setHeight(wall, j, 255);
    map.save("Maps/map1.png");
    ASSERT_TRUE(startLevel(1));
    const float wallZ = course.grid.position(wall, 0).z;
    for (int k = 0; k < 1200 && !player->stopped; ++k) {
        step();
        ASSERT_LT(local().z, wallZ) << "step " << k;
    }
    EXPECT_TRUE(player->stopped);
}

}  // namespace
