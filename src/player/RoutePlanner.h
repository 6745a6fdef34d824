#pragma once

#include <cstdint>
#include <functional>
#include <queue>
#include <utility>
#include <vector>

#include <glm/glm.hpp>

#include "player/FlightConstants.h"

// A route along the valley floor, planned on the terrain's collision grid:
// cells too high to overfly are walls, and cells near walls cost more, so
// the route keeps to the middle of the course.
class RoutePlanner {
public:
    // heights: one per vertex, row-major (rows x columns); extents in units.
    RoutePlanner(std::vector<float> heights, uint32_t columns, uint32_t rows, float extentX, float extentZ);

    // Terrain-space (x, z) points from start to goal; empty if walled off,
    // and then `nearest` (when given) is the reachable point nearest to the
    // goal, where the way ends.
    std::vector<glm::vec2> plan(const glm::vec2& start, const glm::vec2& goal, glm::vec2* nearest = nullptr);

    // The same plan in slices, for a caller that may not stop for long:
    // beginSearch, then search() until it returns true (each call looks at
    // no more than `cells` cells), then result() as plan() returns it.
    void beginSearch(const glm::vec2& start, const glm::vec2& goal);
    bool search(long cells);
    std::vector<glm::vec2> result(glm::vec2* nearest = nullptr) const;

    // Highest terrain within `radius` cells of the terrain-space point.
    float highestAround(const glm::vec2& point, int radius) const;

    // Heights above this are walls to the planner: 25 under the ceiling is
    // as high as the pilot safely climbs (the figure overflies up to ~235).
    static constexpr float wallHeight = flight::CEILING - 25.0f;

private:
    int columnOf(float x) const;
    int rowOf(float z) const;
    glm::vec2 pointOf(int row, int column) const;
    // The cell of finite `cost` nearest to cell `goal`, as a point.
    glm::vec2 nearestReached(const std::vector<float>& cost, int goal) const;

    std::vector<float> heights;
    int columns, rows;
    float extentX, extentZ;
    std::vector<float> wallDistance;  // cells to the nearest wall

    // The search under way: cheapest cost so far and where it came from.
    using OpenCell = std::pair<float, int>;
    using OpenCells = std::priority_queue<OpenCell, std::vector<OpenCell>, std::greater<OpenCell>>;
    int from = 0, to = 0;
    std::vector<float> cost;
    std::vector<int> previous;
    OpenCells open;
    bool searching = false;
};
