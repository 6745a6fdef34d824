// Checks the ten shipped level maps as the game reads them: mirrored columns,
// the marker tests in their order, the start under the terrain's placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <queue>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec4.hpp>

#include "world/LevelMap.h"
#include "world/LevelMarkers.h"

namespace {

using Kind = LevelMarkers::Kind;

constexpr float extent = 2048.0f;
constexpr float heightScale = 256.0f;
constexpr int levelCount = 10;

std::string mapPath(int level, const char* suffix = ".png")
{
    return std::string(MOORGLIDE_DATA_DIR) + "/Maps/map" + std::to_string(level) + suffix;
}

// The player's start (0, 130, 50) in the terrain's own space: the terrain is
// placed at (0, -200, 1000) and then tilted 15 degrees about x.
glm::vec3 startInTerrainSpace()
{
    glm::mat4 terrain = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -200.0f, 1000.0f));
    terrain = terrain * glm::rotate(glm::mat4(1.0f), glm::radians(15.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    const glm::vec4 local = glm::inverse(terrain) * glm::vec4(0.0f, 130.0f, 50.0f, 1.0f);
    return glm::vec3(local);
}

// Nearest vertex (row i, column j) of a terrain-space point on a 512 grid.
void nearestVertex(const glm::vec3& p, int& i, int& j)
{
    i = int(std::lround(512.0f * (0.5f - p.z / extent)));
    j = int(std::lround(512.0f * (p.x / extent + 0.5f)));
}

float vertexHeight(const LevelMap& map, int i, int j)
{
    return float(map.vertexPixel(unsigned(i), unsigned(j)).r) * heightScale / 255.0f;
}

struct Expected
{
    unsigned lamps, snow, fog, night;
};

// What each level is meant to carry; any stray marker pixel changes a count.
const Expected expected[levelCount] = {
    {0, 0, 0, 0},  {30, 0, 0, 0}, {0, 5, 0, 0}, {0, 0, 1, 0},  {19, 0, 0, 1},
    {0, 0, 0, 0},  {0, 4, 0, 1},  {28, 0, 1, 0}, {0, 0, 1, 1}, {17, 4, 1, 1},
};

class ShippedLevel : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(map.load(mapPath(GetParam()))) << map.error();
        markers.scan(map, extent, heightScale, extent);
    }
    LevelMap map;
    LevelMarkers markers;
};

} // namespace

TEST(ShippedLevels, StartAndFinishInTerrainSpace)
{
    const glm::vec3 start = startInTerrainSpace();
    EXPECT_NEAR(start.x, 0.0f, 1e-3f);
    EXPECT_NEAR(start.y, 73.0f, 0.5f);
    EXPECT_NEAR(start.z, -1002.6f, 0.5f);
    int i = 0, j = 0;
    nearestVertex(start, i, j);
    EXPECT_EQ(i, 507);
    EXPECT_EQ(j, 256);
}

TEST_P(ShippedLevel, SizeAndOneGoalNearTheFarEnd)
{
    EXPECT_EQ(map.width(), 512u);
    EXPECT_EQ(map.height(), 512u);
    ASSERT_EQ(markers.count(Kind::Goal), 1u);
    ASSERT_TRUE(markers.goalFound());
    const glm::vec3 goal = markers.goalPosition();
    // The finish line is the goal's z: far up the course, before the edge.
    EXPECT_GT(goal.z, 880.0f);
    EXPECT_LT(goal.z, 960.0f);
    EXPECT_GT(goal.z, startInTerrainSpace().z + 1800.0f);
    // The gate stands on the course floor, not on a wall.
    EXPECT_LT(goal.y, 120.0f);
    EXPECT_LT(std::abs(goal.x), 400.0f);
}

TEST_P(ShippedLevel, TerrainUnderTheStartIsWellBelowIt)
{
    const glm::vec3 start = startInTerrainSpace();
    int si = 0, sj = 0;
    nearestVertex(start, si, sj);
    EXPECT_LT(vertexHeight(map, si, sj), 30.0f);
    float highest = 0.0f;
    // Around the start and along the first stretch ahead (rows above it),
    // where the figure dives before it climbs.
    for (int i = 440; i < 512; ++i)
        for (int j = sj - 30; j <= sj + 30; ++j)
            highest = std::max(highest, vertexHeight(map, i, j));
    EXPECT_LT(highest, start.y - 30.0f);
}

TEST_P(ShippedLevel, MarkersAreExactlyTheIntendedOnes)
{
    const Expected& e = expected[GetParam() - 1];
    EXPECT_EQ(markers.count(Kind::Lamp), e.lamps);
    EXPECT_EQ(markers.count(Kind::Snow), e.snow);
    EXPECT_EQ(markers.count(Kind::Fog), e.fog);
    EXPECT_EQ(markers.count(Kind::Night), e.night);
    EXPECT_LE(markers.count(Kind::Lamp), 40u);
    // Lamps and snow clouds belong over the course, not on the walls.
    for (const LevelMarkers::Event& event : markers.events()) {
        if (event.kind == Kind::Lamp || event.kind == Kind::Snow) {
            EXPECT_LT(event.position.y, 200.0f) << "marker on a wall at row " << event.row << " column " << event.column;
        }
    }
}

TEST_P(ShippedLevel, NoPointHasMoreThan24LampsWithin300Units)
{
    std::vector<glm::vec3> lamps;
    for (const LevelMarkers::Event& event : markers.events())
        if (event.kind == Kind::Lamp)
            lamps.push_back(event.position);
    unsigned worst = 0;
    for (unsigned i = 0; i < map.height(); i += 2)
        for (unsigned j = 0; j < map.width(); j += 2) {
            const glm::vec3 p = map.vertexPosition(i, j, extent, heightScale, extent);
            unsigned near = 0;
            for (const glm::vec3& lamp : lamps) {
                // Horizontal distance only: never fewer lamps than in 3D.
                const float dx = lamp.x - p.x, dz = lamp.z - p.z;
                near += dx * dx + dz * dz <= 300.0f * 300.0f ? 1 : 0;
            }
            worst = std::max(worst, near);
        }
    EXPECT_LE(worst, 24u);
}

TEST_P(ShippedLevel, CourseIsOpenFromStartToGoal)
{
    // Terrain above red 200 (height 201) is treated as wall; the course must
    // connect start and goal with 6 pixels (24 units) of room on every side.
    const int n = 512;
    std::vector<char> wall(size_t(n) * n, 0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            wall[size_t(i) * n + j] = map.vertexPixel(unsigned(i), unsigned(j)).r > 200;
    const int room = 6;
    std::vector<char> blocked(size_t(n) * n, 0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if (!wall[size_t(i) * n + j])
                continue;
            for (int di = -room; di <= room; ++di)
                for (int dj = -room; dj <= room; ++dj)
                    if (di * di + dj * dj <= room * room && i + di >= 0 && i + di < n && j + dj >= 0 && j + dj < n)
                        blocked[size_t(i + di) * n + j + dj] = 1;
        }
    int si = 0, sj = 0, gi = 0, gj = 0;
    nearestVertex(startInTerrainSpace(), si, sj);
    nearestVertex(markers.goalPosition(), gi, gj);
    ASSERT_FALSE(blocked[size_t(si) * n + sj]);
    ASSERT_FALSE(blocked[size_t(gi) * n + gj]);
    std::vector<char> seen(size_t(n) * n, 0);
    std::queue<std::pair<int, int>> open;
    open.push({si, sj});
    seen[size_t(si) * n + sj] = 1;
    while (!open.empty()) {
        const auto [i, j] = open.front();
        open.pop();
        const int step[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& s : step) {
            const int a = i + s[0], b = j + s[1];
            if (a < 0 || b < 0 || a >= n || b >= n || seen[size_t(a) * n + b] || blocked[size_t(a) * n + b])
                continue;
            seen[size_t(a) * n + b] = 1;
            open.push({a, b});
        }
    }
    EXPECT_TRUE(seen[size_t(gi) * n + gj]) << "no open course from the start to the goal";
}

INSTANTIATE_TEST_SUITE_P(AllLevels, ShippedLevel, ::testing::Range(1, levelCount + 1),
                         [](const ::testing::TestParamInfo<int>& info) { return "map" + std::to_string(info.param); });

TEST(ShippedLevels, EveryMarkerKindAndBothLightMapPathsAreUsed)
{
    unsigned perKind[5] = {0, 0, 0, 0, 0};
    int withLightMap = 0;
    for (int level = 1; level <= levelCount; ++level) {
        LevelMap map;
        ASSERT_TRUE(map.load(mapPath(level))) << map.error();
        LevelMarkers markers;
        markers.scan(map, extent, heightScale, extent);
        for (Kind kind : {Kind::Lamp, Kind::Snow, Kind::Goal, Kind::Fog, Kind::Night})
            perKind[int(kind)] += markers.count(kind);
        LevelMap lightMap;
        if (FILE* file = std::fopen(mapPath(level, "Lightmap.png").c_str(), "rb")) {
            std::fclose(file);
            ++withLightMap;
            EXPECT_TRUE(lightMap.load(mapPath(level, "Lightmap.png"))) << lightMap.error();
            EXPECT_EQ(lightMap.width(), 512u);
        }
    }
    for (unsigned count : perKind)
        EXPECT_GT(count, 0u);
    EXPECT_GE(withLightMap, 1);
    EXPECT_LT(withLightMap, levelCount);
}
