#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "world/TerrainTiles.h"

namespace {

// Quad (row, column) of the triangle, in a grid of `columns` vertices a row.
std::pair<uint32_t, uint32_t> quadOf(uint32_t triangle, uint32_t columns) {
    const uint32_t quad = triangle / 2;
    return {quad / (columns - 1), quad % (columns - 1)};
}

}  // namespace

TEST(TerrainTiles, TwoByTwoIsOneTileWithItsTrianglesLastFirst) {
    const auto tiles = terrainTiles(2, 2, 32);
    ASSERT_EQ(tiles.size(), 1u);
    EXPECT_EQ(tiles[0], (std::vector<uint32_t>{1, 0}));
}

TEST(TerrainTiles, GridsWithoutQuadsOrTileSizeGiveNoTiles) {
    EXPECT_TRUE(terrainTiles(1, 5, 4).empty());
    EXPECT_TRUE(terrainTiles(5, 1, 4).empty());
    EXPECT_TRUE(terrainTiles(0, 0, 4).empty());
    EXPECT_TRUE(terrainTiles(5, 5, 0).empty());
}

TEST(TerrainTiles, EveryTriangleOnceInSquareTilesWithNarrowEdges) {
    // 7 x 5 vertices: 6 x 4 quads, so tiles 4 and 2 quads wide, 4 high.
    const uint32_t columns = 7, rows = 5, cells = 4;
    const auto tiles = terrainTiles(columns, rows, cells);
    ASSERT_EQ(tiles.size(), 2u);
    // The last column of tiles comes first, and is the narrow one.
    EXPECT_EQ(tiles[0].size(), 2u * 4u * 2u);
    EXPECT_EQ(tiles[1].size(), 4u * 4u * 2u);
    std::vector<int> seen(2 * (columns - 1) * (rows - 1), 0);
    for (size_t t = 0; t < tiles.size(); ++t) {
        for (uint32_t triangle : tiles[t]) {
            ASSERT_LT(triangle, seen.size());
            ++seen[triangle];
            const auto quad = quadOf(triangle, columns);
            EXPECT_EQ(quad.second / cells, t == 0 ? 1u : 0u) << "triangle " << triangle;
        }
    }
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
}

TEST(TerrainTiles, TilesAndTrianglesRunFromTheLastRowBackwards) {
    const uint32_t columns = 9, rows = 9, cells = 4;  // 8 x 8 quads, 2 x 2 tiles
    const auto tiles = terrainTiles(columns, rows, cells);
    ASSERT_EQ(tiles.size(), 4u);
    const uint32_t corners[4][2] = {{4, 4}, {4, 0}, {0, 4}, {0, 0}};
    for (size_t t = 0; t < 4; ++t) {
        ASSERT_EQ(tiles[t].size(), 32u);
        for (uint32_t triangle : tiles[t]) {
            const auto quad = quadOf(triangle, columns);
            EXPECT_GE(quad.first, corners[t][0]);
            EXPECT_LT(quad.first, corners[t][0] + cells);
            EXPECT_GE(quad.second, corners[t][1]);
            EXPECT_LT(quad.second, corners[t][1] + cells);
        }
        // Within a tile the triangles keep the reversed grid order.
        EXPECT_TRUE(std::is_sorted(tiles[t].rbegin(), tiles[t].rend())) << "tile " << t;
    }
    // The whole grid's last triangle is drawn first.
    EXPECT_EQ(tiles[0].front(), 2u * 8u * 8u - 1u);
    EXPECT_EQ(tiles[3].back(), 0u);
}

TEST(TerrainTiles, A512MapGives256TilesOf32By32Cells) {
    const auto tiles = terrainTiles(512, 512, 32);
    // 511 quads a side: 15 full tiles and one of 31.
    ASSERT_EQ(tiles.size(), 256u);
    size_t total = 0;
    for (const auto& tile : tiles) total += tile.size();
    EXPECT_EQ(total, 2u * 511u * 511u);
    EXPECT_EQ(tiles[0].size(), 2u * 31u * 31u);
    EXPECT_EQ(tiles[1].size(), 2u * 31u * 32u);
    EXPECT_EQ(tiles[255].size(), 2u * 32u * 32u);
}
