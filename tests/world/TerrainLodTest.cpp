#include "world/TerrainLod.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

// A grid like the terrain's (x grows with the column, z falls with the row),
// 4 units a cell, with rough hills; uneven sizes leave narrow last patches.
std::vector<float> roughGrid(uint32_t columns, uint32_t rows) {
    std::vector<float> positions;
    for (uint32_t i = 0; i < rows; ++i) {
        for (uint32_t j = 0; j < columns; ++j) {
            const float h = 40.0f * std::sin(0.11f * j) * std::cos(0.07f * i) + float((i * 7 + j * 13) % 5);
            positions.insert(positions.end(), {4.0f * j, h, -4.0f * i});
        }
    }
    return positions;
}

// Height of the patch's drawn surface at grid point (row, column), from the
// triangle that holds it; NAN when none does.
float drawnHeight(const std::vector<uint32_t>& triangles, const std::vector<float>& positions, uint32_t columns,
                  double row, double column) {
    for (size_t t = 0; t < triangles.size(); t += 3) {
        double r[3], c[3], h[3];
        for (int k = 0; k < 3; ++k) {
            r[k] = triangles[t + k] / columns;
            c[k] = triangles[t + k] % columns;
            h[k] = positions[3 * triangles[t + k] + 1];
        }
        const double area = (c[1] - c[0]) * (r[2] - r[0]) - (r[1] - r[0]) * (c[2] - c[0]);
        const double w1 = ((column - c[0]) * (r[2] - r[0]) - (row - r[0]) * (c[2] - c[0])) / area;
        const double w2 = ((c[1] - c[0]) * (row - r[0]) - (r[1] - r[0]) * (column - c[0])) / area;
        const double w0 = 1.0 - w1 - w2;
        if (w0 >= -1e-9 && w1 >= -1e-9 && w2 >= -1e-9) return float(w0 * h[0] + w1 * h[1] + w2 * h[2]);
    }
    return NAN;
}

}  // namespace

TEST(TerrainLod, BordersBetweenDetailLevelsHaveTheSameHeightsOnBothSides) {
    const uint32_t cells = TerrainLod::PATCH_CELLS;
    const uint32_t columns = 4 * cells + 7, rows = 3 * cells + cells / 2 + 3;  // 5 x 4 patches, the last ones narrower
    const std::vector<float> positions = roughGrid(columns, rows);
    TerrainLod lod;
    lod.build(positions.data(), columns, rows);
    ASSERT_EQ(lod.patches().size(), 20u);
    // Every pair of levels meets somewhere across the rounds.
    for (int round = 0; round < TerrainLod::LEVELS; ++round) {
        for (size_t p = 0; p < lod.patches().size(); ++p) lod.patches()[p].level = int((p * 7 + round * 3) % TerrainLod::LEVELS);
        std::vector<std::vector<uint32_t>> drawn(lod.patches().size());
        for (size_t p = 0; p < drawn.size(); ++p) lod.appendTriangles(p, drawn[p]);
        int borders = 0;
        for (size_t p = 0; p < drawn.size(); ++p) {
            const TerrainLod::Patch& a = lod.patches()[p];
            for (int side : {1, 3}) {  // below and right; the others are those patches' own
                const size_t q = side == 1 ? p + lod.patchColumns() : p + 1;
                if (lod.neighbourLevel(p, side) < 0 || lod.patches()[q].level == a.level) continue;
                ++borders;
                // Every quarter cell along the shared edge.
                const uint32_t from = side == 1 ? a.firstColumn : a.firstRow;
                const uint32_t to = side == 1 ? a.lastColumn : a.lastRow;
                for (double at = from; at <= to; at += 0.25) {
                    const double row = side == 1 ? a.lastRow : at, column = side == 1 ? at : a.lastColumn;
                    const float mine = drawnHeight(drawn[p], positions, columns, row, column);
                    const float theirs = drawnHeight(drawn[q], positions, columns, row, column);
                    ASSERT_FALSE(std::isnan(mine) || std::isnan(theirs)) << "patch " << p << " side " << side;
                    ASSERT_NEAR(mine, theirs, 1e-3) << "patch " << p << " side " << side << " at " << at;
                }
            }
        }
        EXPECT_GT(borders, 10) << "round " << round;
    }
}

TEST(TerrainLod, EveryLevelCoversEachPatchOnceFacingUp) {
    const uint32_t columns = 3 * TerrainLod::PATCH_CELLS + 5, rows = 2 * TerrainLod::PATCH_CELLS + 7;
    const std::vector<float> positions = roughGrid(columns, rows);
    TerrainLod lod;
    lod.build(positions.data(), columns, rows);
    for (size_t p = 0; p < lod.patches().size(); ++p) {
        const TerrainLod::Patch& patch = lod.patches()[p];
        const long long patchArea =
            (long long)(patch.lastRow - patch.firstRow) * (patch.lastColumn - patch.firstColumn);
        for (int level = 0; level < TerrainLod::LEVELS; ++level) {
            for (int neighbours : {level, TerrainLod::LEVELS - 1}) {
                const int around[4] = {neighbours, -1, neighbours, neighbours};
                std::vector<uint32_t> triangles;
                lod.appendTriangles(p, level, around, triangles);
                long long area = 0;
                for (size_t t = 0; t < triangles.size(); t += 3) {
                    const long long r0 = triangles[t] / columns, c0 = triangles[t] % columns;
                    const long long r1 = triangles[t + 1] / columns, c1 = triangles[t + 1] % columns;
                    const long long r2 = triangles[t + 2] / columns, c2 = triangles[t + 2] % columns;
                    const long long up = (c1 - c0) * (r2 - r0) - (r1 - r0) * (c2 - c0);
                    ASSERT_GT(up, 0) << "patch " << p << " level " << level;
                    area += up;
                }
                // Twice the area, as the cross products count it: no gap, no overlap.
                EXPECT_EQ(area, 2 * patchArea) << "patch " << p << " level " << level;
                if (level == 0 && neighbours == 0) {
                    EXPECT_EQ(triangles.size(), size_t(6 * patchArea)) << "the full grid's own triangles";
                }
            }
        }
    }
}

TEST(TerrainLod, FlatGroundCoarsensFarAwayWhileBumpsAndNearGroundKeepDetail) {
    const uint32_t cells = TerrainLod::PATCH_CELLS;
    const uint32_t columns = 4 * cells + 1, rows = 4 * cells + 1;  // 4 x 4 patches, 64 units across each
    const float unit = 64.0f / float(cells);
    std::vector<float> positions;
    for (uint32_t i = 0; i < rows; ++i)
        for (uint32_t j = 0; j < columns; ++j) positions.insert(positions.end(), {unit * j, 0.0f, -unit * i});
    // One bump of 10 on an odd vertex of the last patch: gone from level 1 on.
    const size_t bump = 3 * cells + 5;
    positions[3 * (bump * columns + bump) + 1] = 10.0f;
    TerrainLod lod;
    lod.build(positions.data(), columns, rows);
    const TerrainLod::Patch& bumpy = lod.patches().back();
    EXPECT_EQ(bumpy.error[0], 0.0f);
    for (int level = 1; level < TerrainLod::LEVELS; ++level) EXPECT_FLOAT_EQ(bumpy.error[level], 10.0f);
    EXPECT_EQ(lod.patches().front().error[TerrainLod::LEVELS - 1], 0.0f);

    // From the first patch's corner; 10 units span 1 pixel at 7240 units.
    lod.selectLevels(glm::vec3(0.0f, 5.0f, 0.0f), 724.0f, 1.0f, 150.0f);
    EXPECT_EQ(lod.patches().front().level, 0);  // near: full detail though flat
    EXPECT_EQ(lod.patches()[3].level, TerrainLod::LEVELS - 1);  // far and flat
    EXPECT_EQ(bumpy.level, 0);
    // Thick fog hides it as well.
    lod.selectLevels(glm::vec3(0.0f, 5.0f, 0.0f), 724.0f, 1.0f, 150.0f, 0.01f);
    EXPECT_EQ(bumpy.level, TerrainLod::LEVELS - 1);
    EXPECT_EQ(lod.patches().front().level, 0);
    // So does dim light, but only where the patch meets neither sky nor lamp.
    lod.selectLevels(glm::vec3(0.0f, 5.0f, 0.0f), 724.0f, 1.0f, 150.0f, 0.0f, 0.01f);
    EXPECT_EQ(bumpy.level, 0);
    lod.patches().back().skyFreeAndUnlit = true;
    lod.selectLevels(glm::vec3(0.0f, 5.0f, 0.0f), 724.0f, 1.0f, 150.0f, 0.0f, 0.01f);
    EXPECT_EQ(bumpy.level, TerrainLod::LEVELS - 1);
    lod.patches().back().skyFreeAndUnlit = false;
    // From far away the bump may go.
    lod.selectLevels(glm::vec3(0.0f, 8000.0f, 0.0f), 724.0f, 1.0f, 150.0f);
    EXPECT_EQ(bumpy.level, TerrainLod::LEVELS - 1);

    // Clear of the ground: over the grid, and higher by the margin than every
    // vertex within the margin across.
    const glm::vec3 overBump(unit * bump, 11.5f, -unit * bump);
    EXPECT_FALSE(lod.clearAbove(overBump, 1.5f));
    EXPECT_TRUE(lod.clearAbove(overBump + glm::vec3(0.0f, 0.1f, 0.0f), 1.5f));
    EXPECT_TRUE(lod.clearAbove(overBump + glm::vec3(2.0f * unit, -9.0f, 0.0f), 1.5f));
    EXPECT_FALSE(lod.clearAbove(glm::vec3(-1.0f, 50.0f, -10.0f), 1.5f)) << "beyond the grid";
}

TEST(TerrainLod, VertexSlotsPlaceEachVertexOnceAndKeepAPatchsRowsTogether) {
    const uint32_t cells = TerrainLod::PATCH_CELLS;
    const uint32_t columns = 2 * cells + 5, rows = 2 * cells + 1;
    const std::vector<float> positions = roughGrid(columns, rows);
    TerrainLod lod;
    lod.build(positions.data(), columns, rows);
    const std::vector<uint32_t> slots = lod.vertexSlots();
    ASSERT_EQ(slots.size(), size_t(columns) * rows);
    std::vector<bool> taken(slots.size(), false);
    for (uint32_t slot : slots) {
        ASSERT_LT(slot, slots.size());
        EXPECT_FALSE(taken[slot]);
        taken[slot] = true;
    }
    // The first patch's vertices come first, row after row.
    for (uint32_t i = 0; i <= cells; ++i)
        for (uint32_t j = 0; j <= cells; ++j) EXPECT_EQ(slots[i * columns + j], i * (cells + 1) + j);
    // Without patches, the grid's own order.
    TerrainLod empty;
    empty.build(positions.data(), 1, rows);
    std::vector<uint32_t> identity(rows);
    for (uint32_t v = 0; v < rows; ++v) identity[v] = v;
    EXPECT_EQ(empty.vertexSlots(), identity);
}
