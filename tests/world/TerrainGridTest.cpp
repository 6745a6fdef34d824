#include <gtest/gtest.h>

#include <vector>

#include <glm/geometric.hpp>

#include "world/LevelMap.h"
#include "world/TerrainGrid.h"

namespace {

LevelMap makeMap(unsigned w, unsigned h, const std::vector<uint8_t>& reds)
{
    std::vector<uint8_t> rgb(size_t(w) * h * 3, 0);
    for (size_t p = 0; p < reds.size(); ++p)
        rgb[p * 3] = reds[p];
    LevelMap map;
    map.assign(w, h, rgb);
    return map;
}

} // namespace

TEST(TerrainGrid, TwoByTwoHasTwoTriangles)
{
    TerrainGrid grid;
    grid.build(makeMap(2, 2, {0, 0, 0, 0}), 2048.0f, 256.0f, 2048.0f);
    EXPECT_EQ(grid.columns, 2u);
    EXPECT_EQ(grid.rows, 2u);
    EXPECT_EQ(grid.vertexCount(), 4u);
    ASSERT_EQ(grid.triangleCount(), 2u);
    EXPECT_EQ(grid.indices, (std::vector<uint32_t>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(grid.positions.size(), 12u);
    EXPECT_EQ(grid.normals.size(), 12u);
    EXPECT_EQ(grid.uvs.size(), 12u);
    EXPECT_FLOAT_EQ(grid.position(1, 1).x, 0.0f);
    EXPECT_FLOAT_EQ(grid.position(1, 1).z, 0.0f);
}

TEST(TerrainGrid, ThreeByThreeQuadOrder)
{
    TerrainGrid grid;
    grid.build(makeMap(3, 3, std::vector<uint8_t>(9, 7)), 30.0f, 256.0f, 30.0f);
    ASSERT_EQ(grid.triangleCount(), 8u);
    // First quad of the second row.
    const std::vector<uint32_t> secondRow(grid.indices.begin() + 12, grid.indices.begin() + 18);
    EXPECT_EQ(secondRow, (std::vector<uint32_t>{3, 4, 6, 6, 4, 7}));
    EXPECT_EQ(grid.indices.back(), 8u);
    // Spacing is X/w; the last column stops one step short of X/2.
    EXPECT_FLOAT_EQ(grid.position(0, 0).x, -15.0f);
    EXPECT_FLOAT_EQ(grid.position(0, 2).x, 5.0f);
    EXPECT_FLOAT_EQ(grid.position(2, 0).z, -5.0f);
}

TEST(TerrainGrid, HeightComesFromTheMirroredColumn)
{
    // Image row 0, column w-1 is terrain vertex 0.
    TerrainGrid grid;
    grid.build(makeMap(3, 2, {0, 0, 255, 0, 0, 0}), 2048.0f, 256.0f, 2048.0f);
    EXPECT_FLOAT_EQ(grid.positions[0], -1024.0f);
    EXPECT_FLOAT_EQ(grid.positions[1], 256.0f);
    EXPECT_FLOAT_EQ(grid.positions[2], 1024.0f);
    EXPECT_FLOAT_EQ(grid.position(0, 2).y, 0.0f);
    // The texture coordinates carry column, height and row.
    EXPECT_FLOAT_EQ(grid.uvs[0], 0.0f);
    EXPECT_FLOAT_EQ(grid.uvs[1], 256.0f / 50.0f);
    EXPECT_FLOAT_EQ(grid.uvs[2], 0.0f);
    const size_t v = (1 * 3 + 2) * 3;
    EXPECT_FLOAT_EQ(grid.uvs[v], 2.0f / 50.0f);
    EXPECT_FLOAT_EQ(grid.uvs[v + 2], 1.0f / 50.0f);
}

TEST(TerrainGrid, FlatMapNormalsPointStraightUp)
{
    TerrainGrid grid;
    grid.build(makeMap(4, 5, {}), 2048.0f, 256.0f, 2048.0f);
    for (unsigned i = 0; i < grid.rows; ++i) {
        for (unsigned j = 0; j < grid.columns; ++j) {
            const glm::vec3 n = grid.normal(i, j);
            EXPECT_FLOAT_EQ(n.x, 0.0f);
            EXPECT_FLOAT_EQ(n.y, 1.0f);
            EXPECT_FLOAT_EQ(n.z, 0.0f);
            EXPECT_FLOAT_EQ(grid.position(i, j).y, 0.0f);
        }
    }
}

TEST(TerrainGrid, SlopeNormalsAreUnitAndLeanDownhill)
{
    // Heights rise with the vertex column j (image columns fall), so the
    // normals lean towards -x; a ramp along rows leans them along z.
    std::vector<uint8_t> reds;
    for (unsigned row = 0; row < 3; ++row)
        for (unsigned column = 0; column < 3; ++column)
            reds.push_back(uint8_t((2 - column) * 100));
    TerrainGrid grid;
    grid.build(makeMap(3, 3, reds), 300.0f, 255.0f, 300.0f);
    for (unsigned v = 0; v < grid.vertexCount(); ++v) {
        const glm::vec3 n(grid.normals[v * 3], grid.normals[v * 3 + 1], grid.normals[v * 3 + 2]);
        EXPECT_NEAR(glm::length(n), 1.0f, 1e-6f);
        EXPECT_LT(n.x, 0.0f);
        EXPECT_GT(n.y, 0.0f);
        EXPECT_NEAR(n.z, 0.0f, 1e-6f);
    }
    // A rise of 100 over a step of 100 is 45 degrees.
    EXPECT_NEAR(grid.normal(1, 1).x, -0.70710678f, 1e-5f);
}

TEST(TerrainGrid, EmptyMapGivesEmptyGridAndRebuildReplaces)
{
    TerrainGrid grid;
    grid.build(makeMap(3, 3, std::vector<uint8_t>(9, 1)), 1.0f, 1.0f, 1.0f);
    ASSERT_EQ(grid.triangleCount(), 8u);
    grid.build(LevelMap(), 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(grid.vertexCount(), 0u);
    EXPECT_TRUE(grid.indices.empty());
    EXPECT_TRUE(grid.positions.empty());
}
