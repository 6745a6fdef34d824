#include "app/FlightGauge.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "player/PlayerNode.h"
#include "scene/CollisionRegistry.h"

TEST(FlightGauge, TextShowsSpeedHeightAndTheBoost) {
    FlightGauge gauge;
    gauge.speed = 64.6f;
    gauge.overGround = true;
    gauge.height = 120.4f;
    EXPECT_EQ(gauge.text(), "Speed:65  Height:120");
    gauge.boost = true;
    gauge.height = 3.0f;
    EXPECT_EQ(gauge.text(), "Speed:65  Height:3  BOOST");
    gauge.overGround = false;
    EXPECT_EQ(gauge.text(), "Speed:65  Height:-  BOOST");
}

TEST(FlightGauge, ReadsInTheTerrainsSpaceOverTheGroundUnderTheFigure) {
    // A flat 8 x 8 grid at height 20 over 700 x 700 units, the terrain
    // lowered by 100.
    std::vector<float> vertices;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) vertices.insert(vertices.end(), {0.0f, 20.0f, 0.0f});
    CollisionRegistry grid;
    grid.vertices = vertices.data();
    grid.columns = 8;
    grid.rows = 8;
    grid.extentX = 700.0f;
    grid.extentZ = 700.0f;
    Node terrain;
    terrain.placeAt(glm::vec3(0.0f, -100.0f, 0.0f), glm::vec3(0.0f));
    PlayerNode player(nullptr);

    player.placeAt(glm::vec3(0.0f, -70.0f, 0.0f), glm::vec3(0.0f));  // altitude 30: boost 40
    FlightGauge low = FlightGauge::read(player, &terrain, grid);
    EXPECT_FLOAT_EQ(low.speed, 25.0f + 40.0f);
    EXPECT_TRUE(low.boost);
    EXPECT_TRUE(low.overGround);
    EXPECT_FLOAT_EQ(low.height, 10.0f);

    // Crashed down there: nothing moves it, so no boost either.
    player.stopped = true;
    FlightGauge crashed = FlightGauge::read(player, &terrain, grid);
    EXPECT_EQ(crashed.speed, 0.0f);
    EXPECT_FALSE(crashed.boost);
    EXPECT_EQ(crashed.text().find("BOOST"), std::string::npos);
    player.stopped = false;

    player.placeAt(glm::vec3(0.0f, 0.0f, 5000.0f), glm::vec3(0.0f));  // altitude 100, off the grid
    player.stopped = true;
    FlightGauge off = FlightGauge::read(player, &terrain, grid);
    EXPECT_FALSE(off.boost);
    EXPECT_FALSE(off.overGround);
    EXPECT_EQ(off.speed, 0.0f);
}
