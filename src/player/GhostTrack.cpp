#include "player/GhostTrack.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

const unsigned char MAGIC[8] = {'M', 'G', 'G', 'H', 'O', 'S', 'T', 0};
constexpr size_t HEADER_BYTES = 8 + 3 * 4;
constexpr size_t SAMPLE_BYTES = 7 * 4;
// Far beyond any terrain (about 2048 across), yet far from overflow.
constexpr float MAX_COORDINATE = 1.0e5f;

void putUint(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void putFloat(std::vector<unsigned char>& out, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    putUint(out, bits);
}

uint32_t getUint(const unsigned char* in) {
    return uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
}

float getFloat(const unsigned char* in) {
    const uint32_t bits = getUint(in);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

GhostPose GhostTrack::poseAt(double seconds) const {
    if (samples.empty()) return GhostPose{};
    const double position = seconds * SAMPLE_RATE - 0.5;
    if (!(position > 0.0)) return samples.front();
    if (position >= double(samples.size() - 1)) return samples.back();
    const size_t k = static_cast<size_t>(position);
    const float f = static_cast<float>(position - double(k));
    const GhostPose& a = samples[k];
    const GhostPose& b = samples[k + 1];
    GhostPose pose;
    pose.position = glm::mix(a.position, b.position, f);
    pose.orientation = glm::slerp(a.orientation, b.orientation, f);
    return pose;
}

std::vector<unsigned char> encodeGhost(const GhostTrack& track) {
    std::vector<unsigned char> out(MAGIC, MAGIC + sizeof MAGIC);
    out.reserve(HEADER_BYTES + track.samples.size() * SAMPLE_BYTES);
    putUint(out, GHOST_FILE_VERSION);
    putUint(out, static_cast<uint32_t>(track.level));
    putUint(out, static_cast<uint32_t>(track.samples.size()));
    for (const GhostPose& pose : track.samples) {
        putFloat(out, pose.position.x);
        putFloat(out, pose.position.y);
        putFloat(out, pose.position.z);
        putFloat(out, pose.orientation.w);
        putFloat(out, pose.orientation.x);
        putFloat(out, pose.orientation.y);
        putFloat(out, pose.orientation.z);
    }
    return out;
}

bool parseGhost(const std::vector<unsigned char>& bytes, GhostTrack& track, std::string& why) {
    if (bytes.size() < HEADER_BYTES) {
        why = "too short for its header";
        return false;
    }
    if (std::memcmp(bytes.data(), MAGIC, sizeof MAGIC) != 0) {
        why = "not a ghost file";
        return false;
    }
    const uint32_t version = getUint(&bytes[8]);
    if (version != GHOST_FILE_VERSION) {
        why = "version " + std::to_string(version) + ", not " + std::to_string(GHOST_FILE_VERSION);
        return false;
    }
    const uint32_t level = getUint(&bytes[12]);
    const uint32_t count = getUint(&bytes[16]);
    if (count == 0 || count > GhostTrack::MAX_SAMPLES) {
        why = "sample count " + std::to_string(count) + " out of range";
        return false;
    }
    // The count is bounded above, so this cannot overflow.
    const size_t expected = HEADER_BYTES + size_t(count) * SAMPLE_BYTES;
    if (bytes.size() != expected) {
        why = bytes.size() < expected ? "truncated" : "longer than its sample count";
        return false;
    }
    if (level < 1 || level > 1000) {
        why = "level " + std::to_string(level) + " out of range";
        return false;
    }
    GhostTrack read;
    read.level = static_cast<int>(level);
    read.samples.resize(count);
    const unsigned char* in = &bytes[HEADER_BYTES];
    for (uint32_t k = 0; k < count; ++k, in += SAMPLE_BYTES) {
        float v[7];
        for (int c = 0; c < 7; ++c) v[c] = getFloat(in + 4 * c);
        for (int c = 0; c < 7; ++c) {
            if (!std::isfinite(v[c]) || std::fabs(v[c]) > MAX_COORDINATE) {
                why = "sample " + std::to_string(k) + " holds a bad number";
                return false;
            }
        }
        glm::quat q(v[3], v[4], v[5], v[6]);
        const float length = glm::length(q);
        // A unit quaternion written as float32 comes back within rounding.
        if (!(std::fabs(length - 1.0f) < 1e-3f)) {
            why = "sample " + std::to_string(k) + " has no valid orientation";
            return false;
        }
        read.samples[k].position = glm::vec3(v[0], v[1], v[2]);
        read.samples[k].orientation = q / length;
    }
    track = std::move(read);
    return true;
}
