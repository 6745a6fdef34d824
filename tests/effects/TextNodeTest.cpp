#include "effects/TextNode.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Quads {
    std::vector<glm::vec2> positions;
    std::vector<glm::vec2> uvs;
};

Quads build(const char* text, int x, int y, int size) {
    Quads q;
    buildTextVertices(text, x, y, size, q.positions, q.uvs);
    return q;
}

float signedArea(glm::vec2 a, glm::vec2 b, glm::vec2 c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

TEST(TextVertices, TwoLettersAtTheHudCorner) {
    Quads q = build("AB", 10, 560, 30);
    ASSERT_EQ(q.positions.size(), 12u);
    ASSERT_EQ(q.uvs.size(), 12u);
    const std::vector<glm::vec2> firstCell = {{10, 590}, {10, 560}, {40, 590}, {40, 560}, {40, 590}, {10, 560}};
    const std::vector<glm::vec2> secondCell = {{40, 590}, {40, 560}, {70, 590}, {70, 560}, {70, 590}, {40, 560}};
    EXPECT_EQ(std::vector<glm::vec2>(q.positions.begin(), q.positions.begin() + 6), firstCell);
    EXPECT_EQ(std::vector<glm::vec2>(q.positions.begin() + 6, q.positions.end()), secondCell);
    // 'A' = 65: column 1, row 4; the top of the cell samples the smaller v.
    const std::vector<glm::vec2> a = {{0.0625f, 0.25f},   {0.0625f, 0.3125f}, {0.125f, 0.25f},
                                      {0.125f, 0.3125f},  {0.125f, 0.25f},    {0.0625f, 0.3125f}};
    EXPECT_EQ(std::vector<glm::vec2>(q.uvs.begin(), q.uvs.begin() + 6), a);
    // 'B' = 66: column 2.
    EXPECT_EQ(q.uvs[6], glm::vec2(0.125f, 0.25f));
    EXPECT_EQ(q.uvs[9], glm::vec2(0.1875f, 0.3125f));
}

TEST(TextVertices, EveryTriangleIsCounterClockwiseOnScreen) {
    Quads q = build("Time: 12.5", 0, 0, 17);
    ASSERT_EQ(q.positions.size(), 60u);
    for (size_t i = 0; i < q.positions.size(); i += 3)
        EXPECT_GT(signedArea(q.positions[i], q.positions[i + 1], q.positions[i + 2]), 0.0f) << "triangle " << i / 3;
}

TEST(TextVertices, AsciiStaysInsideTheFontAndHighBytesGoNegative) {
    for (int code = 1; code < 128; ++code) {
        char text[2] = {static_cast<char>(code), 0};
        Quads q = build(text, 0, 0, 8);
        for (const glm::vec2& uv : q.uvs) {
            ASSERT_GE(uv.x, 0.0f);
            ASSERT_LE(uv.x, 1.0f);
            ASSERT_GE(uv.y, 0.0f);
            ASSERT_LE(uv.y, 1.0f);
        }
        ASSERT_EQ(q.uvs[0], glm::vec2((code % 16) / 16.0f, (code / 16) / 16.0f));
    }
    // 0xC1 is -63 as a signed byte: remainder -15, quotient -3, both truncated toward zero.
    Quads high = build("\xC1", 0, 0, 8);
    EXPECT_EQ(high.uvs[0], glm::vec2(-0.9375f, -0.1875f));
    EXPECT_EQ(high.uvs[3], glm::vec2(-0.875f, -0.125f));
}

TEST(TextVertices, EmptyOrMissingTextMakesNothing) {
    EXPECT_TRUE(build("", 10, 10, 30).positions.empty());
    EXPECT_TRUE(build(nullptr, 10, 10, 30).uvs.empty());
    Quads reused = build("XY", 0, 0, 10);
    buildTextVertices("", 0, 0, 10, reused.positions, reused.uvs);
    EXPECT_TRUE(reused.positions.empty());
    EXPECT_TRUE(reused.uvs.empty());
}

TEST(TextVertices, CellsAreWholeUnitsAndZeroSizeCollapses) {
    Quads q = build("abc", 7, -3, 11);
    EXPECT_EQ(q.positions[12], glm::vec2(7 + 2 * 11, -3 + 11));
    EXPECT_EQ(q.positions[15], glm::vec2(7 + 3 * 11, -3));
    Quads flat = build("ab", 5, 5, 0);
    for (const glm::vec2& p : flat.positions) EXPECT_EQ(p, glm::vec2(5, 5));
}

}  // namespace
