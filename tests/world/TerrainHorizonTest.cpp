#include "world/TerrainHorizon.h"

#include <gtest/gtest.h>

#include <utility>

#include <glm/common.hpp>

namespace {

// A box given along the way it faces from the eye (`ahead`) and across it,
// turned to one of the four directions around the eye.
std::pair<glm::vec3, glm::vec3> turned(int quarter, float aheadLow, float aheadHigh, float acrossLow,
                                       float acrossHigh, float yLow, float yHigh) {
    glm::vec3 a(aheadLow, yLow, acrossLow), b(aheadHigh, yHigh, acrossHigh);
    for (int q = 0; q < quarter; ++q) {
        a = glm::vec3(-a.z, a.y, a.x);
        b = glm::vec3(-b.z, b.y, b.x);
    }
    return {glm::min(a, b), glm::max(a, b)};
}

}  // namespace

TEST(TerrainHorizon, AWallHidesOnlyWhatLiesWhollyBehindAndBelowIt) {
    // Every quarter turn, including the one where the directions wrap.
    for (int quarter = 0; quarter < 4; ++quarter) {
        TerrainHorizon horizon;
        horizon.reset(glm::vec3(0.0f, 10.0f, 0.0f));
        const auto wall = turned(quarter, 20, 30, -50, 50, 40, 45);
        const auto low = turned(quarter, 100, 110, -5, 5, 0, 20);
        const auto tall = turned(quarter, 100, 110, 10, 20, 0, 100);
        // Past the wall's corner, which lies at 68.2 degrees.
        const auto beside = turned(quarter, 100, 110, 260, 270, 0, 1);
        // Within it and below the wall's floor, at 63.5 degrees.
        const auto sideways = turned(quarter, 100, 110, 200, 210, 0, 1);
        const auto straddling = turned(quarter, 15, 25, 0, 10, 0, 1);  // partly before the wall
        const auto below = turned(quarter, -5, 5, -5, 5, 0, 5);  // the eye stands over it

        EXPECT_FALSE(horizon.hides(below.first, below.second)) << quarter;
        horizon.add(below.first, below.second);
        EXPECT_FALSE(horizon.hides(wall.first, wall.second)) << quarter;
        horizon.add(wall.first, wall.second);
        EXPECT_FALSE(horizon.hides(straddling.first, straddling.second)) << quarter;
        horizon.add(straddling.first, straddling.second);
        // The wall's floor seen from its far corner rises 30 over 58.3; the
        // low box's top rises 10 over 100, the tall one's 90 over 100.
        EXPECT_TRUE(horizon.hides(low.first, low.second)) << quarter;
        EXPECT_FALSE(horizon.hides(tall.first, tall.second)) << quarter;
        EXPECT_FALSE(horizon.hides(beside.first, beside.second)) << quarter;
        EXPECT_TRUE(horizon.hides(sideways.first, sideways.second)) << quarter;
    }
}

TEST(TerrainHorizon, GroundBelowTheEyeHidesWhatLiesLowerStill) {
    TerrainHorizon horizon;
    horizon.reset(glm::vec3(0.0f, 100.0f, 0.0f));
    // A ridge at 80 falls 20 over its nearest 50: lower than that is hidden.
    horizon.add(glm::vec3(-40, 80, 50), glm::vec3(40, 90, 60));
    EXPECT_FALSE(horizon.hides(glm::vec3(-5, 0, 55), glm::vec3(5, 10, 65))) << "not wholly beyond the ridge";
    EXPECT_TRUE(horizon.hides(glm::vec3(-5, 0, 200), glm::vec3(5, 10, 210)));
    EXPECT_FALSE(horizon.hides(glm::vec3(-5, 0, 200), glm::vec3(5, 30, 210))) << "falls 70 over 200";
    EXPECT_EQ(horizon.nearestAcross(glm::vec3(3, 0, 4), glm::vec3(9, 0, 9)), 5.0f);
}

TEST(TerrainHorizon, RaisedGroundBoundsTheSkylineFromBelowWhateverItsDistance) {
    TerrainHorizon skyline;
    skyline.reset(glm::vec3(0.0f, 10.0f, 0.0f));
    // A ridge far behind: its floor at 60 rises 50 over its far corner, 216 away.
    skyline.raise(glm::vec3(-50, 60, 200), glm::vec3(50, 70, 210));
    EXPECT_TRUE(skyline.below(glm::vec3(-5, 0, 100), glm::vec3(5, 20, 110))) << "rises 10 over 100";
    EXPECT_FALSE(skyline.below(glm::vec3(-5, 0, 100), glm::vec3(5, 40, 110))) << "rises 30 over 100";
    EXPECT_FALSE(skyline.below(glm::vec3(60, 0, 100), glm::vec3(70, 1, 110))) << "beside the ridge: sky above";
    EXPECT_FALSE(skyline.below(glm::vec3(-50, 60, 200), glm::vec3(50, 70, 210))) << "the ridge itself";
}
