// Ghost files: what is accepted replays without a bad number and reads back
// as written; what is refused leaves the track untouched.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "player/GhostTrack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<unsigned char> bytes(data, data + size);
    GhostTrack track;
    track.level = -7;
    std::string why;
    if (!parseGhost(bytes, track, why)) {
        FUZZ_CHECK(!why.empty());
        FUZZ_CHECK(track.level == -7 && track.samples.empty());
        return 0;
    }
    FUZZ_CHECK(!track.samples.empty() && track.samples.size() <= GhostTrack::MAX_SAMPLES);
    for (double t : {-1.0, 0.0, 0.02, 1.0, 1e6}) {
        const GhostPose pose = track.poseAt(t);
        for (int c = 0; c < 3; ++c) FUZZ_CHECK(std::isfinite(pose.position[c]));
        FUZZ_CHECK(std::fabs(glm::length(pose.orientation) - 1.0f) < 1e-3f);
    }
    // What is written reads back: positions exactly, orientations within
    // the rounding of normalising them once more.
    GhostTrack again;
    FUZZ_CHECK(parseGhost(encodeGhost(track), again, why));
    FUZZ_CHECK(again.level == track.level && again.samples.size() == track.samples.size());
    for (size_t k = 0; k < track.samples.size(); ++k) {
        FUZZ_CHECK(again.samples[k].position == track.samples[k].position);
        const glm::quat d = again.samples[k].orientation - track.samples[k].orientation;
        FUZZ_CHECK(glm::length(d) < 1e-6f);
    }
    return 0;
}
