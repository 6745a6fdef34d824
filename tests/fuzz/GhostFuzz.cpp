// Ghost files: what is accepted replays without a bad number and writes back
// to the very same bytes; what is refused leaves the track untouched.
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
    // Orientations are normalised on reading, so compare one re-encoding
    // with the next rather than with the input.
    const std::vector<unsigned char> once = encodeGhost(track);
    GhostTrack again;
    FUZZ_CHECK(parseGhost(once, again, why));
    FUZZ_CHECK(encodeGhost(again) == once);
    return 0;
}
