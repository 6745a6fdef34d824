#include "player/RoutePlanner.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <queue>

#include "world/LevelMap.h"

RoutePlanner::RoutePlanner(std::vector<float> heightsIn, uint32_t columnsIn, uint32_t rowsIn, float extentXIn,
                           float extentZIn)
    : heights(std::move(heightsIn)), columns(int(columnsIn)), rows(int(rowsIn)), extentX(extentXIn),
      extentZ(extentZIn) {
    // Two-pass chamfer distance to the nearest wall cell (the outer ring
    // counts as wall: nothing collides there, but nothing is gained either).
    const float far = 1e9f;
    wallDistance.assign(size_t(columns) * rows, far);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            const bool edge = i == 0 || j == 0 || i == rows - 1 || j == columns - 1;
            if (edge || heights[size_t(i) * columns + j] > wallHeight) wallDistance[size_t(i) * columns + j] = 0;
        }
    const float d1 = 1.0f, d2 = 1.41421356f;
    auto at = [this](int i, int j) -> float& { return wallDistance[size_t(i) * columns + j]; };
    for (int i = 1; i < rows - 1; ++i)
        for (int j = 1; j < columns - 1; ++j)
            at(i, j) = std::min({at(i, j), at(i - 1, j) + d1, at(i, j - 1) + d1, at(i - 1, j - 1) + d2,
                                 at(i - 1, j + 1) + d2});
    for (int i = rows - 2; i > 0; --i)
        for (int j = columns - 2; j > 0; --j)
            at(i, j) = std::min({at(i, j), at(i + 1, j) + d1, at(i, j + 1) + d1, at(i + 1, j + 1) + d2,
                                 at(i + 1, j - 1) + d2});
}

int RoutePlanner::columnOf(float x) const { return LevelMap::columnAt(x, columns, extentX); }

int RoutePlanner::rowOf(float z) const { return LevelMap::rowAt(z, rows, extentZ); }

glm::vec2 RoutePlanner::pointOf(int row, int column) const {
    return glm::vec2(LevelMap::columnX(column, columns, extentX), LevelMap::rowZ(row, rows, extentZ));
}

float RoutePlanner::highestAround(const glm::vec2& point, int radius) const {
    const int i0 = rowOf(point.y), j0 = columnOf(point.x);
    float highest = 0.0f;
    for (int i = std::max(0, i0 - radius); i <= std::min(rows - 1, i0 + radius); ++i)
        for (int j = std::max(0, j0 - radius); j <= std::min(columns - 1, j0 + radius); ++j)
            highest = std::max(highest, heights[size_t(i) * columns + j]);
    return highest;
}

std::vector<glm::vec2> RoutePlanner::plan(const glm::vec2& start, const glm::vec2& goal, glm::vec2* nearest) {
    beginSearch(start, goal);
    while (!search(std::numeric_limits<long>::max())) {
    }
    return result(nearest);
}

void RoutePlanner::beginSearch(const glm::vec2& start, const glm::vec2& goal) {
    const size_t n = size_t(columns) * rows;
    from = rowOf(start.y) * columns + columnOf(start.x);
    to = rowOf(goal.y) * columns + columnOf(goal.x);
    cost.assign(n, std::numeric_limits<float>::infinity());
    previous.assign(n, -1);
    open = OpenCells();
    cost[size_t(from)] = 0;
    open.push({0.0f, from});
    searching = true;
}

bool RoutePlanner::search(long cells) {
    const int di[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
    const int dj[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
    for (long expanded = 0; searching && expanded < cells; ++expanded) {
        if (open.empty()) {
            searching = false;
            break;
        }
        const auto [c, cell] = open.top();
        open.pop();
        if (c > cost[size_t(cell)]) continue;
        if (cell == to) {
            searching = false;
            break;
        }
        const int i = cell / columns, j = cell % columns;
        for (int k = 0; k < 8; ++k) {
            const int ni = i + di[k], nj = j + dj[k];
            if (ni < 0 || nj < 0 || ni >= rows || nj >= columns) continue;
            const int next = ni * columns + nj;
            const float d = wallDistance[size_t(next)];
            if (d < 1.0f) continue;
            // Keeping away from the walls, and low, is worth a detour.
            const float h = heights[size_t(next)];
            const float step =
                (di[k] != 0 && dj[k] != 0 ? 1.41421356f : 1.0f) * (1.0f + 60.0f / (d * d) + h * h / 4000.0f);
            if (c + step < cost[size_t(next)]) {
                cost[size_t(next)] = c + step;
                previous[size_t(next)] = cell;
                open.push({c + step, next});
            }
        }
    }
    return !searching;
}

std::vector<glm::vec2> RoutePlanner::result(glm::vec2* nearest) const {
    std::vector<glm::vec2> route;
    if (searching || cost.empty()) return route;
    if (previous[size_t(to)] < 0 && to != from) {
        if (nearest) *nearest = nearestReached(cost, to);
        return route;
    }
    for (int cell = to; cell >= 0; cell = previous[size_t(cell)]) route.push_back(pointOf(cell / columns, cell % columns));
    std::reverse(route.begin(), route.end());
    return route;
}

glm::vec2 RoutePlanner::nearestReached(const std::vector<float>& cost, int goal) const {
    const int gi = goal / columns, gj = goal % columns;
    long best = -1;
    int bestCell = 0;
    for (int cell = 0; cell < columns * rows; ++cell) {
        if (cost[size_t(cell)] == std::numeric_limits<float>::infinity()) continue;
        const long di = cell / columns - gi, dj = cell % columns - gj;
        if (best < 0 || di * di + dj * dj < best) {
            best = di * di + dj * dj;
            bestCell = cell;
        }
    }
    return pointOf(bestCell / columns, bestCell % columns);
}
