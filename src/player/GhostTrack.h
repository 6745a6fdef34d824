#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

// The figure's pose in the terrain's own space (the same for every level),
// so a run replays wherever the level puts its terrain.
struct GhostPose {
    glm::vec3 position{0.0f};
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};
};

// One recorded run of a level: the figure's pose 30 times a simulated
// second. Sample k is the pose after simulation step 2k + 1 of the run, at
// race time (k + 0.5) / 30 s: the first step and every second one after it.
class GhostTrack {
public:
    static constexpr double SAMPLE_RATE = 30.0;
    // An hour of flight; a longer run is not kept (about 3 MB).
    static constexpr size_t MAX_SAMPLES = 108000;

    // The pose at race time `seconds`, interpolated between the samples;
    // before the first sample the first, after the last the last (the ghost
    // waits at the finish). An empty track gives the identity pose.
    GhostPose poseAt(double seconds) const;
    // Race time of sample k.
    static double sampleTime(size_t k) { return (double(k) + 0.5) / SAMPLE_RATE; }

    int level = 0;
    std::vector<GhostPose> samples;
};

// The ghost file: "MGGHOST" and a zero byte, then little-endian uint32
// version (1), level and sample count, then per sample seven float32: the
// position x, y, z and the orientation w, x, y, z.
constexpr unsigned GHOST_FILE_VERSION = 1;
std::vector<unsigned char> encodeGhost(const GhostTrack& track);
// Reads a ghost file's bytes; trusts nothing in them. False with the reason
// in `why` (truncated, wrong version, bad numbers ...); `track` is then left
// as it was.
bool parseGhost(const std::vector<unsigned char>& bytes, GhostTrack& track, std::string& why);
