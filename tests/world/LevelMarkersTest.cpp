#include <gtest/gtest.h>

#include <vector>

#include "world/LevelMap.h"
#include "world/LevelMarkers.h"

namespace {

using Kind = LevelMarkers::Kind;

struct Paint
{
    unsigned row;
    unsigned imageColumn;
    uint8_t r, g, b;
};

LevelMap makeMap(unsigned w, unsigned h, const std::vector<Paint>& paints)
{
    std::vector<uint8_t> rgb(size_t(w) * h * 3, 0);
    for (const Paint& p : paints) {
        const size_t at = (size_t(p.row) * w + p.imageColumn) * 3;
        rgb[at] = p.r;
        rgb[at + 1] = p.g;
        rgb[at + 2] = p.b;
    }
    LevelMap map;
    map.assign(w, h, rgb);
    return map;
}

LevelMarkers scan(const LevelMap& map)
{
    LevelMarkers markers;
    markers.scan(map, 2048.0f, 256.0f, 2048.0f);
    return markers;
}

} // namespace

TEST(LevelMarkers, LampAndSnowOnOnePixel)
{
    const LevelMarkers m = scan(makeMap(4, 4, {{1, 3, 51, 255, 180}}));
    ASSERT_EQ(m.events().size(), 2u);
    EXPECT_EQ(m.events()[0].kind, Kind::Lamp);
    EXPECT_EQ(m.events()[1].kind, Kind::Snow);
    // Image column 3 of a 4 wide map is vertex column 0.
    EXPECT_EQ(m.events()[0].row, 1u);
    EXPECT_EQ(m.events()[0].column, 0u);
    EXPECT_FLOAT_EQ(m.events()[0].position.x, -1024.0f);
    EXPECT_FLOAT_EQ(m.events()[0].position.y, 51.0f * 256.0f / 255.0f);
    EXPECT_FLOAT_EQ(m.events()[0].position.z, 512.0f);
    EXPECT_FALSE(m.goalFound());
}

TEST(LevelMarkers, ThresholdsAreExact)
{
    // 250 is no lamp, 251 is; blue 250 is nothing, 251 is a goal; neighbours of
    // 180, 230 and 240 mean nothing.
    const LevelMarkers m = scan(makeMap(8, 2, {{0, 0, 0, 250, 250}, {0, 1, 0, 251, 0}, {0, 2, 0, 0, 179},
                                               {0, 3, 0, 0, 181}, {0, 4, 0, 0, 229}, {0, 5, 0, 0, 241},
                                               {0, 6, 0, 0, 251}, {0, 7, 0, 0, 239}}));
    EXPECT_EQ(m.count(Kind::Lamp), 1u);
    EXPECT_EQ(m.count(Kind::Goal), 1u);
    EXPECT_EQ(m.events().size(), 1u); // the goal moves goalPosition() only
    EXPECT_FALSE(m.fog());
    EXPECT_FALSE(m.night());
}

TEST(LevelMarkers, LastScannedGoalWins)
{
    // Same row: the larger vertex column (further left in the image) wins;
    // a later row wins over an earlier one.
    const LevelMarkers sameRow = scan(makeMap(4, 3, {{1, 0, 10, 0, 255}, {1, 3, 20, 0, 252}}));
    ASSERT_TRUE(sameRow.goalFound());
    EXPECT_EQ(sameRow.count(Kind::Goal), 2u);
    EXPECT_FLOAT_EQ(sameRow.goalPosition().y, 10.0f * 256.0f / 255.0f);
    EXPECT_FLOAT_EQ(sameRow.goalPosition().x, 2048.0f / 4.0f);

    const LevelMarkers laterRow = scan(makeMap(4, 3, {{2, 3, 30, 0, 253}, {0, 0, 20, 0, 252}}));
    EXPECT_FLOAT_EQ(laterRow.goalPosition().y, 30.0f * 256.0f / 255.0f);
    EXPECT_FLOAT_EQ(laterRow.goalPosition().z, 2048.0f * (0.5f - 2.0f / 3.0f));
}

TEST(LevelMarkers, NoGoalKeepsTheDefault)
{
    const LevelMarkers m = scan(makeMap(3, 3, {{1, 1, 200, 100, 100}}));
    EXPECT_FALSE(m.goalFound());
    EXPECT_EQ(m.goalPosition(), glm::vec3(0.0f, 1024.0f, 900.0f));
    EXPECT_TRUE(m.events().empty());

    LevelMarkers reused = scan(makeMap(3, 3, {{1, 1, 0, 0, 255}}));
    ASSERT_TRUE(reused.goalFound());
    reused.scan(makeMap(3, 3, {}), 2048.0f, 256.0f, 2048.0f);
    EXPECT_FALSE(reused.goalFound());
    EXPECT_EQ(reused.goalPosition(), LevelMarkers::defaultGoal);
}

TEST(LevelMarkers, FogAndNightInEitherOrder)
{
    const LevelMarkers a = scan(makeMap(3, 3, {{0, 0, 0, 0, 230}, {2, 2, 0, 0, 240}}));
    const LevelMarkers b = scan(makeMap(3, 3, {{0, 0, 0, 0, 240}, {2, 2, 0, 0, 230}}));
    EXPECT_TRUE(a.fog() && a.night());
    EXPECT_TRUE(b.fog() && b.night());
    EXPECT_EQ(a.events()[0].kind, Kind::Fog);
    EXPECT_EQ(b.events()[0].kind, Kind::Night);
}

TEST(LevelMarkers, EventsFollowScanOrder)
{
    // Rows outer, vertex columns inner: image column 2 of row 0 (vertex 0)
    // comes before image column 0 (vertex 2), and both before row 1.
    const LevelMarkers m = scan(makeMap(3, 2, {{1, 2, 0, 255, 0}, {0, 0, 0, 0, 180}, {0, 2, 0, 255, 240}}));
    ASSERT_EQ(m.events().size(), 4u);
    EXPECT_EQ(m.events()[0].kind, Kind::Lamp);
    EXPECT_EQ(m.events()[0].column, 0u);
    EXPECT_EQ(m.events()[1].kind, Kind::Night);
    EXPECT_EQ(m.events()[2].kind, Kind::Snow);
    EXPECT_EQ(m.events()[2].column, 2u);
    EXPECT_EQ(m.events()[3].row, 1u);
}

TEST(LevelMarkers, SnowOnAHillKeepsTheVertexHeightInItsEvent)
{
    // The event reports the vertex; the emitter height is fixed separately.
    const LevelMarkers m = scan(makeMap(2, 2, {{0, 0, 255, 0, 180}}));
    ASSERT_EQ(m.events().size(), 1u);
    EXPECT_FLOAT_EQ(m.events()[0].position.y, 256.0f);
    EXPECT_FLOAT_EQ(LevelMarkers::emitterHeight, 250.0f);
}

TEST(LevelMarkers, BlueMarkerClassification)
{
    Kind kind = Kind::Lamp;
    EXPECT_TRUE(LevelMarkers::blueMarker(255, kind));
    EXPECT_EQ(kind, Kind::Goal);
    EXPECT_TRUE(LevelMarkers::blueMarker(230, kind));
    EXPECT_EQ(kind, Kind::Fog);
    EXPECT_FALSE(LevelMarkers::blueMarker(0, kind));
    EXPECT_FALSE(LevelMarkers::blueMarker(250, kind));
    EXPECT_FALSE(LevelMarkers::isLamp(250));
    EXPECT_TRUE(LevelMarkers::isLamp(251));
}

TEST(LevelMarkers, EachKindButTheGoalIsCappedAndTheDropIsReported)
{
    // A grey picture: every bright pixel is a lamp and a goal. Then two rows
    // of snow, and a row with one goal pixel (vertex column 0) before fog.
    std::vector<Paint> paints;
    for (unsigned row = 0; row < 40; ++row)
        for (unsigned column = 0; column < 40; ++column)
            paints.push_back({row, column, 255, 255, 255});
    for (unsigned column = 0; column < 40; ++column) {
        paints.push_back({40, column, 180, 180, 180});
        paints.push_back({41, column, 180, 180, 180});
    }
    paints.push_back({42, 39, 7, 0, 255});
    for (unsigned column = 0; column < 20; ++column)
        paints.push_back({42, column, 0, 0, 230});
    const LevelMarkers m = scan(makeMap(40, 43, paints));
    EXPECT_EQ(m.count(Kind::Lamp), 1024u);
    EXPECT_EQ(m.count(Kind::Snow), 64u);
    EXPECT_EQ(m.count(Kind::Fog), 16u);
    EXPECT_EQ(m.count(Kind::Goal), 1601u);
    EXPECT_EQ(m.droppedReport(), "Too many markers on the map, dropped: 576 lamps (at most 1024), 16 snow clouds "
                                 "(at most 64), 4 fog markers (at most 16)");
    // The goal is the last goal pixel scanned, however many came before.
    EXPECT_FLOAT_EQ(m.goalPosition().y, 7.0f * 256.0f / 255.0f);
    EXPECT_FLOAT_EQ(m.goalPosition().x, -1024.0f);
    EXPECT_FLOAT_EQ(m.goalPosition().z, 2048.0f * (0.5f - 42.0f / 43.0f));
    EXPECT_EQ(scan(makeMap(4, 4, {{1, 1, 9, 255, 255}})).droppedReport(), "");
}
