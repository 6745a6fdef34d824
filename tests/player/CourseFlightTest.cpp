#include "player/CourseFlight.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/GameState.h"
#include "player/PlayerNode.h"
#include "player/WorldStep.h"
#include "scene/CollisionRegistry.h"
#include "support/MapImage.h"
#include "support/ProcessState.h"
#include "support/RecordingAudio.h"
#include "support/ScopedDirectory.h"
#include "world/CourseBuilder.h"
#include "world/LevelCatalogue.h"
#include "world/LevelMap.h"
#include "world/WorldTerrain.h"

namespace {

// The par times of the shipped levels 1 to 10 as data/par.ini ships them:
// the autopilot's through the game's own frame loop.
std::vector<double> shippedParTimes() {
    std::map<int, double> par;
    EXPECT_TRUE(LevelCatalogue::readParTimes(std::string(MOORGLIDE_DATA_DIR) + "/par.ini", par));
    std::vector<double> times;
    for (int level = 1; level <= LEVEL_COUNT; ++level) times.push_back(par.count(level) ? par[level] : 0.0);
    return times;
}

LevelMap shippedMap(int level) {
    LevelMap map;
    EXPECT_TRUE(map.load(std::string(MOORGLIDE_DATA_DIR) + "/" + levelMapFileName(level))) << map.error();
    return map;
}

class ShippedPar : public ::testing::TestWithParam<int> {
protected:
    ProcessState state;
};

// Without a window the autopilot finishes every shipped level in its par
// time, to the hundredth, without breaking a wing.
TEST_P(ShippedPar, FlownWithoutGlInTheParTime) {
    const int level = GetParam();
    CourseFlight flight;
    ASSERT_TRUE(flight.begin(shippedMap(level)));
    flight.run();
    ASSERT_EQ(flight.outcome(), CourseFlight::Outcome::Finished) << "ended at z " << flight.where().z;
    EXPECT_NEAR(flight.time(), shippedParTimes()[size_t(level - 1)], 0.005);
    EXPECT_EQ(flight.wingBreaks(), 0);
    EXPECT_EQ(flight.path().size(), size_t(flight.time() / CourseFlight::STEP + 0.5));
}

INSTANTIATE_TEST_SUITE_P(Levels, ShippedPar, ::testing::Range(1, LEVEL_COUNT + 1));

// A flight worked out a few steps at a time while the game's own level is
// flown: the game's records, sounds and flight stay its own, and the course
// ends as it would in one go.
TEST(CourseFlight, FliesInPiecesBesideTheGamesLevel) {
    ProcessState state;
    RecordingAudio audio;
    // Ground over the start: the figure crashes at once, wings and body.
    MapImage buried(16, 16, 200);
    buried.mark(2, 8, 0, 255);
    CourseFlight crash;
    ASSERT_TRUE(crash.begin(buried.levelMap()));
    EXPECT_TRUE(crash.advance(600));
    EXPECT_EQ(crash.outcome(), CourseFlight::Outcome::BodyContact);
    EXPECT_TRUE(audio.events.empty());

    ScopedDirectory data(MOORGLIDE_DATA_DIR);
    CourseFlight inOneGo, inPieces;
    ASSERT_TRUE(inOneGo.begin(shippedMap(6)));
    inOneGo.run();
    ASSERT_TRUE(inPieces.begin(shippedMap(6)));

    CourseBuilder game;
    ASSERT_TRUE(game.build(1));
    PlayerNode* player = assemblePlayer(nullptr, PlayerParts::bare());
    gameState.sceneRoot->addChild(player);
    gameState.player = player;
    const GameState before = gameState;
    const CollisionRegistry registry = collisionRegistry;
    const glm::vec3 goal = goalPosition;
    std::vector<glm::vec3> track;
    while (!inPieces.advance(7)) {
        EXPECT_EQ(gameState.sceneRoot, before.sceneRoot);
        EXPECT_EQ(gameState.player, player);
        EXPECT_EQ(gameState.terrain, before.terrain);
        EXPECT_EQ(currentTerrain, before.terrain);
        EXPECT_EQ(collisionRegistry.vertices, registry.vertices);
        EXPECT_EQ(goalPosition, goal);
        worldStep(1.0 / 60.0, {});
        track.push_back(glm::vec3(player->getWorldMatrix()[3]));
    }
    EXPECT_EQ(inPieces.time(), inOneGo.time());
    EXPECT_EQ(inPieces.path(), inOneGo.path());
    EXPECT_NEAR(gameState.raceTime, track.size() / 60.0, 1e-9);
    EXPECT_EQ(&Audio::current(), &audio);
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
}

}  // namespace
