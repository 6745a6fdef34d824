#include "world/TerrainLod.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include <glm/common.hpp>
#include <glm/geometric.hpp>

namespace {

// Rows or columns first, first + stride, ... and always last.
std::vector<uint32_t> axisLines(uint32_t first, uint32_t last, uint32_t stride) {
    std::vector<uint32_t> lines;
    for (uint32_t at = first; at < last; at += stride) lines.push_back(at);
    lines.push_back(last);
    return lines;
}

struct GridPoint {
    uint32_t row, column;
};

// Twice the signed area in the terrain's x/z plane, positive when the
// triangle faces up (x grows with the column, z falls with the row).
long long upwardArea(GridPoint a, GridPoint b, GridPoint c) {
    const long long bi = (long long)b.row - a.row, bj = (long long)b.column - a.column;
    const long long ci = (long long)c.row - a.row, cj = (long long)c.column - a.column;
    return bj * ci - bi * cj;
}

class TriangleSink {
public:
    TriangleSink(uint32_t columns, std::vector<uint32_t>& out) : columns(columns), out(out) {}
    void add(GridPoint a, GridPoint b, GridPoint c) {
        const long long area = upwardArea(a, b, c);
        if (area == 0) return;
        if (area < 0) std::swap(b, c);
        out.push_back(a.row * columns + a.column);
        out.push_back(b.row * columns + b.column);
        out.push_back(c.row * columns + c.column);
    }

private:
    uint32_t columns;
    std::vector<uint32_t>& out;
};

// Fills the band between a patch border (outer, at the coarser neighbour's
// spacing) and the parallel line of the patch's own vertices inside it; both
// run the same way along the border, `along` reads the running coordinate.
template <typename Along>
void zip(const std::vector<GridPoint>& outer, const std::vector<GridPoint>& inner, Along along, TriangleSink& sink) {
    size_t o = 0, i = 0;
    while (o + 1 < outer.size() || i + 1 < inner.size()) {
        bool advanceOuter;
        if (i + 1 >= inner.size()) {
            advanceOuter = true;
        } else if (o + 1 >= outer.size()) {
            advanceOuter = false;
        } else {
            // The nearer midpoint goes first, which keeps the triangles fat.
            advanceOuter = along(outer[o]) + along(outer[o + 1]) <= along(inner[i]) + along(inner[i + 1]);
        }
        if (advanceOuter) {
            sink.add(outer[o], outer[o + 1], inner[i]);
            ++o;
        } else {
            sink.add(outer[o], inner[i + 1], inner[i]);
            ++i;
        }
    }
}

}  // namespace

void TerrainLod::build(const float* gridPositions, uint32_t gridColumns, uint32_t gridRows) {
    positions = gridPositions;
    columns = gridColumns;
    rows = gridRows;
    patchList.clear();
    patchesAcross = patchesDown = 0;
    if (!positions || columns < 2 || rows < 2) return;
    patchesAcross = (columns - 1 + PATCH_CELLS - 1) / PATCH_CELLS;
    patchesDown = (rows - 1 + PATCH_CELLS - 1) / PATCH_CELLS;
    patchList.resize(size_t(patchesAcross) * patchesDown);
    for (uint32_t pr = 0; pr < patchesDown; ++pr) {
        for (uint32_t pc = 0; pc < patchesAcross; ++pc) {
            Patch& patch = patchList[size_t(pr) * patchesAcross + pc];
            patch.firstRow = pr * PATCH_CELLS;
            patch.firstColumn = pc * PATCH_CELLS;
            patch.lastRow = std::min(patch.firstRow + PATCH_CELLS, rows - 1);
            patch.lastColumn = std::min(patch.firstColumn + PATCH_CELLS, columns - 1);
            const float* first = positions + 3 * (size_t(patch.firstRow) * columns + patch.firstColumn);
            patch.low = patch.high = glm::vec3(first[0], first[1], first[2]);
            for (uint32_t i = patch.firstRow; i <= patch.lastRow; ++i) {
                for (uint32_t j = patch.firstColumn; j <= patch.lastColumn; ++j) {
                    const float* p = positions + 3 * (size_t(i) * columns + j);
                    patch.low = glm::min(patch.low, glm::vec3(p[0], p[1], p[2]));
                    patch.high = glm::max(patch.high, glm::vec3(p[0], p[1], p[2]));
                }
            }
        }
    }
    for (size_t p = 0; p < patchList.size(); ++p) {
        Patch& patch = patchList[p];
        patch.error[0] = 0.0f;
        // A coarser level never promises less than a finer one.
        for (int level = 1; level < LEVELS; ++level)
            patch.error[level] = std::max(patch.error[level - 1], measureError(p, level));
    }
}

bool TerrainLod::clearAbove(const glm::vec3& eye, float margin) const {
    if (patchList.empty()) return false;
    // The grid is regular: columns step along x, rows along z.
    const float x0 = positions[0], z0 = positions[2];
    const float xStep = positions[3] - x0, zStep = positions[3 * size_t(columns) + 2] - z0;
    if (xStep == 0.0f || zStep == 0.0f) return false;
    const float j0 = (eye.x - margin - x0) / xStep, j1 = (eye.x + margin - x0) / xStep;
    const float i0 = (eye.z - margin - z0) / zStep, i1 = (eye.z + margin - z0) / zStep;
    const float jLow = std::floor(std::min(j0, j1)), jHigh = std::ceil(std::max(j0, j1));
    const float iLow = std::floor(std::min(i0, i1)), iHigh = std::ceil(std::max(i0, i1));
    if (!(jLow >= 0.0f && iLow >= 0.0f && jHigh <= float(columns - 1) && iHigh <= float(rows - 1))) return false;
    for (uint32_t i = uint32_t(iLow); i <= uint32_t(iHigh); ++i)
        for (uint32_t j = uint32_t(jLow); j <= uint32_t(jHigh); ++j)
            if (!(eye.y - margin > positions[3 * (size_t(i) * columns + j) + 1])) return false;
    return true;
}

std::vector<uint32_t> TerrainLod::vertexSlots() const {
    std::vector<uint32_t> slots(size_t(columns) * rows);
    // Without patches, the grid's own order.
    if (patchList.empty()) {
        std::iota(slots.begin(), slots.end(), 0u);
        return slots;
    }
    const uint32_t unplaced = ~0u;
    std::fill(slots.begin(), slots.end(), unplaced);
    uint32_t next = 0;
    for (const Patch& patch : patchList)
        for (uint32_t i = patch.firstRow; i <= patch.lastRow; ++i)
            for (uint32_t j = patch.firstColumn; j <= patch.lastColumn; ++j)
                if (slots[size_t(i) * columns + j] == unplaced) slots[size_t(i) * columns + j] = next++;
    return slots;
}

float TerrainLod::measureError(size_t p, int level) const {
    const Patch& patch = patchList[p];
    const uint32_t stride = 1u << level;
    const std::vector<uint32_t> R = axisLines(patch.firstRow, patch.lastRow, stride);
    const std::vector<uint32_t> C = axisLines(patch.firstColumn, patch.lastColumn, stride);
    auto height = [&](uint32_t i, uint32_t j) { return positions[3 * (size_t(i) * columns + j) + 1]; };
    float worst = 0.0f;
    // Each coarse cell is split like the full grid's: (a, b, d) where
    // u + v <= 1, (d, b, e) beyond, u along the columns and v along the rows.
    for (size_t a = 0; a + 1 < R.size(); ++a) {
        for (size_t b = 0; b + 1 < C.size(); ++b) {
            const float ha = height(R[a], C[b]), hb = height(R[a], C[b + 1]);
            const float hd = height(R[a + 1], C[b]), he = height(R[a + 1], C[b + 1]);
            const float across = float(C[b + 1] - C[b]), down = float(R[a + 1] - R[a]);
            for (uint32_t i = R[a]; i <= R[a + 1]; ++i) {
                const float v = float(i - R[a]) / down;
                for (uint32_t j = C[b]; j <= C[b + 1]; ++j) {
                    const float u = float(j - C[b]) / across;
                    const float drawn = u + v <= 1.0f ? ha + u * (hb - ha) + v * (hd - ha)
                                                      : he + (1.0f - u) * (hd - he) + (1.0f - v) * (hb - he);
                    worst = std::max(worst, std::fabs(drawn - height(i, j)));
                }
            }
        }
    }
    return worst;
}

void TerrainLod::selectLevels(const glm::vec3& eye, float pixelsPerRadian, float tolerance, float fullDetailDistance,
                              float fogPerUnit, float groundContrast) {
    for (Patch& patch : patchList) {
        const glm::vec3 nearest = glm::clamp(eye, patch.low, patch.high);
        const float distance = glm::length(eye - nearest);
        patch.level = 0;
        if (distance <= fullDetailDistance) continue;
        // The nearest point is the least fogged; a 255th of the contrast is
        // less than a colour step.
        const float depth = fogPerUnit * distance;
        const float dimmed = patch.skyFreeAndUnlit ? groundContrast : 1.0f;
        const float contrast = std::max(std::exp(-depth * depth) * dimmed, 1.0f / 255.0f);
        // Error e at distance d spans about e / d radians.
        const float allowed = tolerance / contrast * distance / pixelsPerRadian;
        while (patch.level + 1 < LEVELS && patch.error[patch.level + 1] <= allowed) ++patch.level;
    }
}

void TerrainLod::selectFullDetail() {
    for (Patch& patch : patchList) patch.level = 0;
}

int TerrainLod::neighbourLevel(size_t p, int side) const {
    const size_t row = p / patchesAcross, column = p % patchesAcross;
    switch (side) {
        case 0: return row > 0 ? patchList[p - patchesAcross].level : -1;
        case 1: return row + 1 < patchesDown ? patchList[p + patchesAcross].level : -1;
        case 2: return column > 0 ? patchList[p - 1].level : -1;
        case 3: return column + 1 < patchesAcross ? patchList[p + 1].level : -1;
        default: return -1;
    }
}

void TerrainLod::appendTriangles(size_t p, std::vector<uint32_t>& out) const {
    const int neighbours[4] = {neighbourLevel(p, 0), neighbourLevel(p, 1), neighbourLevel(p, 2),
                               neighbourLevel(p, 3)};
    appendTriangles(p, patchList[p].level, neighbours, out);
}

void TerrainLod::appendTriangles(size_t p, int level, const int neighbourLevels[4],
                                 std::vector<uint32_t>& out) const {
    const Patch& patch = patchList[p];
    const uint32_t stride = 1u << level;
    const std::vector<uint32_t> R = axisLines(patch.firstRow, patch.lastRow, stride);
    const std::vector<uint32_t> C = axisLines(patch.firstColumn, patch.lastColumn, stride);
    // Each border takes the coarser spacing of the two patches that share it;
    // where that drops vertices, a band of triangles meets the neighbour.
    std::vector<uint32_t> border[4];
    bool stitched[4];
    for (int side = 0; side < 4; ++side) {
        const uint32_t borderStride = 1u << std::max(level, neighbourLevels[side]);
        border[side] = side < 2 ? axisLines(patch.firstColumn, patch.lastColumn, borderStride)
                                : axisLines(patch.firstRow, patch.lastRow, borderStride);
        stitched[side] = border[side].size() < (side < 2 ? C.size() : R.size());
    }
    const size_t r0 = stitched[0] ? 1 : 0, r1 = stitched[1] ? R.size() - 2 : R.size() - 1;
    const size_t c0 = stitched[2] ? 1 : 0, c1 = stitched[3] ? C.size() - 2 : C.size() - 1;

    TriangleSink sink(columns, out);
    // The inside, split like the full grid: (a, b, d) and (d, b, e).
    for (size_t a = r0; a < r1; ++a) {
        for (size_t b = c0; b < c1; ++b) {
            const GridPoint va{R[a], C[b]}, vb{R[a], C[b + 1]}, vd{R[a + 1], C[b]}, ve{R[a + 1], C[b + 1]};
            sink.add(va, vb, vd);
            sink.add(vd, vb, ve);
        }
    }
    auto byColumn = [](GridPoint g) { return g.column; };
    auto byRow = [](GridPoint g) { return g.row; };
    // A patch one cell across with both borders stitched: the two borders
    // meet directly.
    if (C.size() == 2 && stitched[2] && stitched[3]) {
        std::vector<GridPoint> left, right;
        for (uint32_t row : border[2]) left.push_back({row, patch.firstColumn});
        for (uint32_t row : border[3]) right.push_back({row, patch.lastColumn});
        zip(left, right, byRow, sink);
        stitched[2] = stitched[3] = false;
    }
    if (R.size() == 2 && stitched[0] && stitched[1]) {
        std::vector<GridPoint> top, bottom;
        for (uint32_t column : border[0]) top.push_back({patch.firstRow, column});
        for (uint32_t column : border[1]) bottom.push_back({patch.lastRow, column});
        zip(top, bottom, byColumn, sink);
        stitched[0] = stitched[1] = false;
    }
    for (int side = 0; side < 4; ++side) {
        if (!stitched[side]) continue;
        std::vector<GridPoint> outer, inner;
        if (side < 2) {
            const uint32_t edgeRow = side == 0 ? patch.firstRow : patch.lastRow;
            const uint32_t innerRow = side == 0 ? R[1] : R[R.size() - 2];
            for (uint32_t column : border[side]) outer.push_back({edgeRow, column});
            for (size_t b = c0; b <= c1; ++b) inner.push_back({innerRow, C[b]});
            zip(outer, inner, byColumn, sink);
        } else {
            const uint32_t edgeColumn = side == 2 ? patch.firstColumn : patch.lastColumn;
            const uint32_t innerColumn = side == 2 ? C[1] : C[C.size() - 2];
            for (uint32_t row : border[side]) outer.push_back({row, edgeColumn});
            for (size_t a = r0; a <= r1; ++a) inner.push_back({R[a], innerColumn});
            zip(outer, inner, byRow, sink);
        }
    }
}
