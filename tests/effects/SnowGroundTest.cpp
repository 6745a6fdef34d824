#include "effects/SnowGround.h"

#include <gtest/gtest.h>

TEST(SnowGround, LowestAroundTakesTheThreeByThreeVerticesFromEachOne) {
    // 4 x 4 vertices at height 10, but 5 at (row 0, column 0) and 1 at (3, 3).
    std::vector<float> positions(4 * 4 * 3, 10.0f);
    positions[1] = 5.0f;
    positions[(3 * 4 + 3) * 3 + 1] = 1.0f;
    const std::vector<float> lowest = SnowGround::lowestAround(positions, 4, 4);
    ASSERT_EQ(lowest.size(), 16u);
    EXPECT_EQ(lowest[0], 5.0f);           // rows and columns 0 to 2
    EXPECT_EQ(lowest[1], 10.0f);          // columns 1 to 3 miss both
    EXPECT_EQ(lowest[1 * 4 + 1], 1.0f);   // rows and columns 1 to 3
    EXPECT_EQ(lowest[3 * 4 + 3], 1.0f);   // the last ones stop at the edge
    EXPECT_TRUE(SnowGround::lowestAround(positions, 2, 8).empty());
}
