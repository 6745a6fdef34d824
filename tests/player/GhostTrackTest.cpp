#include "player/GhostTrack.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

GhostTrack sampleTrack() {
    GhostTrack track;
    track.level = 3;
    for (int k = 0; k < 4; ++k) {
        GhostPose pose;
        pose.position = glm::vec3(float(k), 100.0f + k, -1000.0f + 10.0f * k);
        pose.orientation = glm::angleAxis(glm::radians(30.0f * k), glm::vec3(0.0f, 1.0f, 0.0f));
        track.samples.push_back(pose);
    }
    return track;
}

void putUint(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
    for (int b = 0; b < 4; ++b) bytes[at + b] = static_cast<unsigned char>(value >> (8 * b));
}

}  // namespace

TEST(GhostTrack, FileRoundTripKeepsEverySample) {
    const GhostTrack track = sampleTrack();
    const std::vector<unsigned char> bytes = encodeGhost(track);
    ASSERT_EQ(bytes.size(), 20u + 4u * 28u);
    GhostTrack read;
    std::string why;
    ASSERT_TRUE(parseGhost(bytes, read, why)) << why;
    EXPECT_EQ(read.level, 3);
    ASSERT_EQ(read.samples.size(), 4u);
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(read.samples[k].position, track.samples[k].position);
        EXPECT_NEAR(glm::dot(read.samples[k].orientation, track.samples[k].orientation), 1.0f, 1e-6f);
    }
}

TEST(GhostTrack, BadFilesAreRefusedWithAReason) {
    const std::vector<unsigned char> good = encodeGhost(sampleTrack());
    std::vector<std::pair<std::string, std::vector<unsigned char>>> bad;
    bad.push_back({"empty", {}});
    bad.push_back({"header cut", std::vector<unsigned char>(good.begin(), good.begin() + 15)});
    bad.push_back({"last sample cut", std::vector<unsigned char>(good.begin(), good.end() - 1)});
    std::vector<unsigned char> longer = good;
    longer.push_back(0);
    bad.push_back({"trailing byte", longer});
    std::vector<unsigned char> magic = good;
    magic[0] = 'X';
    bad.push_back({"magic", magic});
    std::vector<unsigned char> version = good;
    putUint(version, 8, 2);
    bad.push_back({"version", version});
    std::vector<unsigned char> huge = good;
    putUint(huge, 16, 0xFFFFFFFFu);  // must not be trusted to size anything
    bad.push_back({"count", huge});
    std::vector<unsigned char> none = good;
    putUint(none, 16, 0);
    bad.push_back({"no samples", std::vector<unsigned char>(none.begin(), none.begin() + 20)});
    std::vector<unsigned char> nan = good;
    putUint(nan, 20 + 28 + 4, 0x7FC00000u);  // a NaN height
    bad.push_back({"NaN", nan});
    std::vector<unsigned char> zeroTurn = good;
    for (int c = 3; c < 7; ++c) putUint(zeroTurn, 20 + 4 * c, 0);
    bad.push_back({"zero orientation", zeroTurn});

    for (const auto& entry : bad) {
        GhostTrack track = sampleTrack();
        track.level = 9;
        std::string why;
        EXPECT_FALSE(parseGhost(entry.second, track, why)) << entry.first;
        EXPECT_FALSE(why.empty()) << entry.first;
        EXPECT_EQ(track.level, 9) << entry.first << ": the track was touched";
    }
}

TEST(GhostTrack, PoseIsInterpolatedAndWaitsAtTheFinish) {
    const GhostTrack track = sampleTrack();
    // Sample k stands at (k + 0.5) / 30 s.
    EXPECT_EQ(track.poseAt(0.0).position, track.samples[0].position);
    const GhostPose between = track.poseAt(GhostTrack::sampleTime(1) + 0.25 / 30.0);
    EXPECT_NEAR(between.position.x, 1.25f, 1e-4f);
    const float angle = glm::degrees(glm::angle(between.orientation));
    EXPECT_NEAR(angle, 37.5f, 1e-2f);
    EXPECT_EQ(track.poseAt(1000.0).position, track.samples[3].position);
    EXPECT_EQ(GhostTrack().poseAt(1.0).position, glm::vec3(0.0f));
}
