#include "world/TerrainHorizon.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float NOTHING_HIDDEN = -std::numeric_limits<float>::infinity();
constexpr float BINS_PER_QUARTER = TerrainHorizon::BINS / 4.0f;
// A box must lie this much (rise over distance, about two pixels of the
// picture) under the horizon to count as hidden, so rounding never decides.
constexpr float MARGIN = 0.003f;

// A direction across the ground as a number from 0 to 4 that grows with its
// angle counter-clockwise from +x, one per quarter turn: cheaper than atan2,
// and bins of it split the directions just as well.
float turn(float dx, float dz) {
    if (dz >= 0.0f) return dx >= 0.0f ? dz / (dx + dz) : 1.0f - dx / (dz - dx);
    return dx < 0.0f ? 2.0f - dz / (-dx - dz) : 3.0f + dx / (dx - dz);
}

}  // namespace

void TerrainHorizon::reset(const glm::vec3& newEye) {
    eye = newEye;
    slopes.assign(BINS, NOTHING_HIDDEN);
    pending.clear();
}

float TerrainHorizon::nearestAcross(const glm::vec3& low, const glm::vec3& high) const {
    const float dx = std::max({low.x - eye.x, 0.0f, eye.x - high.x});
    const float dz = std::max({low.z - eye.z, 0.0f, eye.z - high.z});
    return std::sqrt(dx * dx + dz * dz);
}

float TerrainHorizon::farthestAcross(const glm::vec3& low, const glm::vec3& high) const {
    const float dx = std::max(std::abs(eye.x - low.x), std::abs(eye.x - high.x));
    const float dz = std::max(std::abs(eye.z - low.z), std::abs(eye.z - high.z));
    return std::sqrt(dx * dx + dz * dz);
}

TerrainHorizon::Span TerrainHorizon::directions(const glm::vec3& low, const glm::vec3& high, bool inner) const {
    Span span;
    // Standing over the box (or on its edge), the eye sees it all around.
    if (eye.x >= low.x && eye.x <= high.x && eye.z >= low.z && eye.z <= high.z) {
        span.all = true;
        return span;
    }
    float corners[4] = {turn(low.x - eye.x, low.z - eye.z), turn(high.x - eye.x, low.z - eye.z),
                        turn(low.x - eye.x, high.z - eye.z), turn(high.x - eye.x, high.z - eye.z)};
    // A box beside the eye covers less than half a turn: more means its
    // directions wrap past zero, and those just past it count one turn on.
    if (*std::max_element(corners, corners + 4) - *std::min_element(corners, corners + 4) > 2.0f)
        for (float& corner : corners)
            if (corner < 2.0f) corner += 4.0f;
    const float from = *std::min_element(corners, corners + 4);
    const float to = *std::max_element(corners, corners + 4);
    if (inner) {
        span.first = int(std::ceil(from * BINS_PER_QUARTER));
        span.last = int(std::floor(to * BINS_PER_QUARTER)) - 1;
    } else {
        span.first = int(std::floor(from * BINS_PER_QUARTER));
        span.last = int(std::floor(to * BINS_PER_QUARTER));
    }
    return span;
}

bool TerrainHorizon::hides(const glm::vec3& low, const glm::vec3& high) {
    const float nearest = nearestAcross(low, high);
    // Boxes wholly nearer than this one now hide what lies beyond them.
    while (!pending.empty() && pending.front().farthest <= nearest) {
        lift(pending.front());
        std::pop_heap(pending.begin(), pending.end(), nearestOnTop);
        pending.pop_back();
    }
    return below(low, high);
}

bool TerrainHorizon::below(const glm::vec3& low, const glm::vec3& high) const {
    const float nearest = nearestAcross(low, high);
    const Span span = directions(low, high, false);
    if (span.all || nearest <= 0.0f) return false;
    // The steepest the box can look from the eye: its top at its nearest
    // point when it rises above the eye, else at its farthest.
    const float rise = high.y - eye.y;
    const float steepest = rise / (rise > 0.0f ? nearest : farthestAcross(low, high));
    for (int b = span.first; b <= span.last; ++b)
        if (!(steepest < slopes[size_t(b & (BINS - 1))] - MARGIN)) return false;
    return true;
}

bool TerrainHorizon::floorSlope(const glm::vec3& low, const glm::vec3& high, Pending& out) const {
    const Span span = directions(low, high, true);
    if (span.all || span.last < span.first) return false;
    // Any ray over the box that looks less steeply than its floor seen from
    // wherever the ray leaves the box passes under the ground there; the
    // floor seen from the box's nearest point (below the eye) or farthest
    // (above it) is never steeper than that.
    const float nearest = nearestAcross(low, high);
    const float farthest = farthestAcross(low, high);
    if (nearest <= 0.0f) return false;
    const float drop = low.y - eye.y;
    out = {farthest, drop / (drop < 0.0f ? nearest : farthest), span.first, span.last};
    return true;
}

void TerrainHorizon::add(const glm::vec3& low, const glm::vec3& high) {
    Pending box{};
    if (!floorSlope(low, high, box)) return;
    pending.push_back(box);
    std::push_heap(pending.begin(), pending.end(), nearestOnTop);
}

void TerrainHorizon::raise(const glm::vec3& low, const glm::vec3& high) {
    Pending box{};
    if (floorSlope(low, high, box)) lift(box);
}

void TerrainHorizon::lift(const Pending& box) {
    for (int b = box.first; b <= box.last; ++b) {
        float& slope = slopes[size_t(b & (BINS - 1))];
        slope = std::max(slope, box.slope);
    }
}
