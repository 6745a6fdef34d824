#include "render/FBORenderer.h"

#include <gtest/gtest.h>

namespace {

TEST(FBORenderer, MotionBlurStrengthFollowsSpeed) {
    EXPECT_FLOAT_EQ(motionBlurStrength(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(motionBlurStrength(25.0f), 0.0f);
    EXPECT_FLOAT_EQ(motionBlurStrength(30.0f), 0.0f);
    EXPECT_NEAR(motionBlurStrength(33.0f), 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(motionBlurStrength(39.0f), 1.5f);
    EXPECT_FLOAT_EQ(motionBlurStrength(80.0f), 1.5f);
    EXPECT_FLOAT_EQ(motionBlurStrength(-10.0f), 0.0f);
}

}  // namespace
