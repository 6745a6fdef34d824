#include "effects/EmitterNode.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

TEST(RandomSpeed, CornersOfTheDraws) {
    EXPECT_EQ(randomSpeedFromDraws(0, 0, 0), glm::vec3(-16.0f, -20.0f, -20.0f));
    glm::vec3 top = randomSpeedFromDraws(1999, 999, 999);
    EXPECT_FLOAT_EQ(top.x, 3.98f);
    EXPECT_FLOAT_EQ(top.y, -0.02f);
    EXPECT_FLOAT_EQ(top.z, 19.98f);
    // The first draw drives z, the second y, the third x.
    EXPECT_EQ(randomSpeedFromDraws(1000, 0, 800), glm::vec3(0.0f, -20.0f, 0.0f));
    // glibc's first three values of an unseeded run: 1804289383, 846930886, 1681692777.
    glm::vec3 first = randomSpeedFromDraws(1804289383 % 2000, 846930886 % 1000, 1681692777 % 1000);
    EXPECT_FLOAT_EQ(first.x, -0.46f);
    EXPECT_FLOAT_EQ(first.y, -2.28f);
    EXPECT_FLOAT_EQ(first.z, 7.66f);
}

TEST(RandomSpeed, YNeverRisesAndXIsNegativeBelow800) {
    for (int r = 0; r < 1000; ++r) {
        glm::vec3 v = randomSpeedFromDraws(0, r, r);
        ASSERT_LT(v.y, 0.0f) << r;
        ASSERT_EQ(v.x < 0.0f, r < 800) << r;
        ASSERT_GE(v.x, -16.0f);
        ASSERT_LE(v.x, 3.98f + 1e-5f);
    }
    for (int r = 0; r < 2000; ++r) {
        float z = randomSpeedFromDraws(r, 0, 0).z;
        ASSERT_GE(z, -20.0f);
        ASSERT_LE(z, 19.98f + 1e-5f);
    }
}

TEST(Snowfall, MayShowUnlessItsWholeReachIsOutOfThePicture) {
    // The eye at the origin looking along -z.
    const PicturePlanes viewProjection(glm::perspective(glm::radians(45.0f), 4.0f / 3.0f, 1.0f, 5000.0f));
    EXPECT_TRUE(snowfallMayShow(glm::vec3(0.0f, 150.0f, -500.0f), viewProjection));
    // Behind the eye, but its flakes can drift to beside it.
    EXPECT_TRUE(snowfallMayShow(glm::vec3(0.0f, 150.0f, SNOWFALL_REACH - 2.0f), viewProjection));
    EXPECT_FALSE(snowfallMayShow(glm::vec3(0.0f, 150.0f, SNOWFALL_REACH + 2.0f), viewProjection));
    // High above the picture's top edge, and so far below it that even its
    // deepest flakes stay above.
    EXPECT_FALSE(snowfallMayShow(glm::vec3(0.0f, 2000.0f, -500.0f), viewProjection));
    EXPECT_TRUE(snowfallMayShow(glm::vec3(0.0f, 300.0f, -500.0f), viewProjection));
}

TEST(ParticleRecord, MatchesTheFeedbackLayout) {
    EXPECT_EQ(sizeof(Particle), 32u);
    EXPECT_EQ(offsetof(Particle, type), 0u);
    EXPECT_EQ(offsetof(Particle, position), 4u);
    EXPECT_EQ(offsetof(Particle, velocity), 16u);
    EXPECT_EQ(offsetof(Particle, age), 28u);
    EXPECT_EQ(sizeof(Particle) * MAX_PARTICLES, 640000u);
}

}  // namespace
