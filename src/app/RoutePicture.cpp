#include "app/RoutePicture.h"

#include <algorithm>
#include <cmath>

#include <lodepng.h>

#include "app/CourseCheck.h"
#include "core/GameState.h"
#include "player/RoutePlanner.h"

namespace {

// Small maps grow to at least this many picture pixels across.
constexpr unsigned SMALLEST_PICTURE = 512;

RoutePicture::Colour mix(RoutePicture::Colour a, RoutePicture::Colour b, float t, float shade) {
    auto channel = [&](unsigned char x, unsigned char y) {
        return (unsigned char)(std::clamp((float(x) + (float(y) - float(x)) * t) * shade, 0.0f, 255.0f));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

}  // namespace

RoutePicture::RoutePicture(const CourseCheck& check) {
    const LevelMap& map = check.map();
    columns = map.width();
    rows = map.height();
    if (columns == 0 || rows == 0) return;
    extentX = float(gameState.terrainExtent[0]);
    extentZ = float(gameState.terrainExtent[1]);
    pixelsPerCell = std::max(1u, (SMALLEST_PICTURE + std::max(columns, rows) - 1) / std::max(columns, rows));
    pictureWidth = columns * pixelsPerCell;
    pictureHeight = rows * pixelsPerCell;
    pixels.assign(size_t(pictureWidth) * pictureHeight * 3, 0);
    shadeHeights(check);

    const CourseFlight& flight = check.flight();
    const float s = float(pixelsPerCell);
    const std::vector<glm::vec2>& route = flight.pilot().plannedRoute();
    for (size_t k = 1; k < route.size(); ++k)
        line(pictureOf(glm::vec3(route[k - 1].x, 0.0f, route[k - 1].y)),
             pictureOf(glm::vec3(route[k].x, 0.0f, route[k].y)), 1.0f, routeColour);
    const std::vector<glm::vec3>& path = flight.path();
    for (size_t k = 1; k < path.size(); ++k) line(pictureOf(path[k - 1]), pictureOf(path[k]), 1.5f, pathColour);

    for (const LevelMarkers::Event& event : flight.markers().events()) {
        Colour colour = lampColour;
        switch (event.kind) {
        case LevelMarkers::Kind::Snow: colour = snowColour; break;
        case LevelMarkers::Kind::Fog: colour = fogColour; break;
        case LevelMarkers::Kind::Night: colour = nightColour; break;
        default: break;
        }
        dot(pictureOf(event.position), std::max(2.0f, 0.6f * s), colour);
    }
    dot(pictureOf(flight.start()), std::max(5.0f, 1.5f * s), startColour);
    if (flight.markers().goalFound()) ring(pictureOf(flight.goal()), std::max(8.0f, 2.0f * s), 3.0f, goalColour);
    if (flight.outcome() != CourseFlight::Outcome::Finished)
        ring(pictureOf(flight.where()), std::max(12.0f, 3.0f * s), 4.0f, failureColour);
}

glm::vec3 RoutePicture::normalAt(const TerrainGrid& grid, unsigned i, unsigned j) const {
    auto height = [&](unsigned row, unsigned column) { return grid.position(row, column).y; };
    const unsigned left = j > 0 ? j - 1 : j, right = j + 1 < columns ? j + 1 : j;
    const unsigned up = i > 0 ? i - 1 : i, down = i + 1 < rows ? i + 1 : i;
    // Row i - 1 lies further along +z than row i + 1.
    const float slopeX = (height(i, right) - height(i, left)) / (float(right - left) * extentX / float(columns));
    const float slopeZ = (height(up, j) - height(down, j)) / (float(down - up) * extentZ / float(rows));
    return glm::normalize(glm::vec3(-(right > left ? slopeX : 0.0f), 1.0f, -(down > up ? slopeZ : 0.0f)));
}

void RoutePicture::shadeHeights(const CourseCheck& check) {
    const TerrainGrid& grid = check.flight().grid();
    // Light from the picture's top left: terrain +x is the picture's left, +z its top.
    const glm::vec3 light = glm::normalize(glm::vec3(1.0f, 1.5f, 1.0f));
    const Colour low{40, 95, 45}, high{215, 210, 175}, wallLow{110, 75, 45}, wallHigh{150, 110, 75};
    for (unsigned row = 0; row < rows; ++row)
        for (unsigned column = 0; column < columns; ++column) {
            const unsigned j = columns - 1 - column;
            const float y = grid.position(row, j).y;
            const float shade = 0.55f + 0.45f * std::max(0.0f, glm::dot(normalAt(grid, row, j), light));
            const Colour colour = y > RoutePlanner::wallHeight
                                      ? mix(wallLow, wallHigh, (y - RoutePlanner::wallHeight) / 41.0f, shade)
                                      : mix(low, high, y / RoutePlanner::wallHeight, shade);
            for (unsigned dy = 0; dy < pixelsPerCell; ++dy)
                for (unsigned dx = 0; dx < pixelsPerCell; ++dx) {
                    const size_t at =
                        (size_t(row * pixelsPerCell + dy) * pictureWidth + column * pixelsPerCell + dx) * 3;
                    pixels[at] = colour.r;
                    pixels[at + 1] = colour.g;
                    pixels[at + 2] = colour.b;
                }
        }
}

glm::vec2 RoutePicture::pictureOf(const glm::vec3& point) const {
    const float column = float(columns) - 1.0f - (point.x / extentX + 0.5f) * float(columns);
    const float row = (0.5f - point.z / extentZ) * float(rows);
    return glm::vec2((column + 0.5f) * float(pixelsPerCell), (row + 0.5f) * float(pixelsPerCell));
}

RoutePicture::Colour RoutePicture::at(unsigned x, unsigned y) const {
    const size_t i = (size_t(y) * pictureWidth + x) * 3;
    return {pixels[i], pixels[i + 1], pixels[i + 2]};
}

void RoutePicture::dot(const glm::vec2& centre, float radius, Colour colour) {
    ring(centre, radius, radius, colour);
}

void RoutePicture::ring(const glm::vec2& centre, float radius, float thickness, Colour colour) {
    const int x0 = std::max(0, int(std::floor(centre.x - radius)));
    const int x1 = std::min(int(pictureWidth) - 1, int(std::ceil(centre.x + radius)));
    const int y0 = std::max(0, int(std::floor(centre.y - radius)));
    const int y1 = std::min(int(pictureHeight) - 1, int(std::ceil(centre.y + radius)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = glm::length(glm::vec2(float(x) + 0.5f, float(y) + 0.5f) - centre);
            if (d > radius || d < radius - thickness) continue;
            const size_t at = (size_t(y) * pictureWidth + unsigned(x)) * 3;
            pixels[at] = colour.r;
            pixels[at + 1] = colour.g;
            pixels[at + 2] = colour.b;
        }
}

void RoutePicture::line(const glm::vec2& from, const glm::vec2& to, float radius, Colour colour) {
    const int steps = std::max(1, int(std::ceil(glm::length(to - from) / radius)));
    for (int k = 0; k <= steps; ++k) dot(from + (to - from) * (float(k) / float(steps)), radius, colour);
}

bool RoutePicture::save(const std::string& path) const {
    if (pixels.empty()) return false;
    return lodepng::encode(path, pixels, pictureWidth, pictureHeight, LCT_RGB, 8) == 0;
}
