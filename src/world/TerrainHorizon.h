#pragma once

#include <vector>

#include <glm/vec3.hpp>

// Which stretches of a height field the ground nearer to the eye hides,
// without any GL. A ray from an eye above the ground that passes below the
// ground somewhere has met the ground before, so a box of terrain hides
// everything behind it, in its directions, that lies lower than the box's
// lowest point as seen from the eye. The horizon keeps, for each direction
// around the eye, the steepest such slope so far; a box whose highest point
// stays under it everywhere cannot be seen.
//
// Everything is in the terrain's own space, with y up. The eye must be above
// the ground, and the ground must be one unbroken surface between the eye and
// every box asked about.
class TerrainHorizon {
public:
    // Directions around the eye are told apart this finely.
    static constexpr int BINS = 4096;

    // Starts anew for an eye at `eye`; nothing is hidden yet.
    void reset(const glm::vec3& eye);

    // The horizontal distance from the eye to the nearest point of the box.
    float nearestAcross(const glm::vec3& low, const glm::vec3& high) const;

    // True when no point of the box can be seen past the ground of the boxes
    // added so far that lie wholly nearer than it. Boxes must be asked about
    // nearest first, by nearestAcross.
    bool hides(const glm::vec3& low, const glm::vec3& high);

    // A box of ground that lies nowhere below low.y: what it hides counts for
    // boxes asked about later that lie wholly beyond it.
    void add(const glm::vec3& low, const glm::vec3& high);

    // The same ground counted at once, whatever its distance: the horizon
    // then bounds the skyline from below.
    void raise(const glm::vec3& low, const glm::vec3& high);
    // True when, in every direction of the box, ground counted so far rises
    // above the box's highest point. With all the ground in view raised, no
    // edge of such a box meets the sky: other ground lies beyond its edges.
    bool below(const glm::vec3& low, const glm::vec3& high) const;

private:
    struct Span {
        int first = 0, last = 0;  // bins, last < first when it wraps past zero
        bool all = false;         // the eye stands over the box
    };
    struct Pending {
        float farthest;  // horizontal distance to the box's farthest corner
        float slope;
        int first, last;
    };
    // Heap order: the box whose far side is nearest comes out first.
    static bool nearestOnTop(const Pending& a, const Pending& b) { return a.farthest > b.farthest; }

    // The directions in which the eye sees the box; `inner` keeps only bins
    // that lie wholly inside them.
    Span directions(const glm::vec3& low, const glm::vec3& high, bool inner) const;
    float farthestAcross(const glm::vec3& low, const glm::vec3& high) const;
    // The floor's slope that `add` and `raise` count, in the box's inner bins.
    bool floorSlope(const glm::vec3& low, const glm::vec3& high, Pending& out) const;
    void lift(const Pending& box);

    glm::vec3 eye{0.0f};
    std::vector<float> slopes;     // per bin: rise over distance hidden below
    std::vector<Pending> pending;  // a heap, nearest `farthest` on top
};
