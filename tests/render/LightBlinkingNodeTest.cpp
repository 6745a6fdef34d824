#include "render/LightBlinkingNode.h"

#include <gtest/gtest.h>

#include "render/LightNode.h"

namespace {

// A point light under `blink` whose colour it drives.
LightNode* drivenLight(LightBlinkingNode& blink) {
    LightNode* light = new LightNode(LightType::Point, glm::vec3(0.0f), glm::vec3(0.0f), 10.0f, 0.0f);
    blink.addChild(light);
    blink.lights.push_back(light);
    return light;
}

TEST(LightBlinkingNode, RampsUpAndBackDown) {
    LightBlinkingNode blink(glm::vec3(1.0f), glm::vec3(0.2f), 1.0f, 0.0f);
    LightNode* light = drivenLight(blink);
    blink.update(0.25);
    EXPECT_NEAR(light->intensity.x, 0.8f, 1e-5f);
    EXPECT_TRUE(blink.rising);
    blink.update(1.0);
    EXPECT_FALSE(blink.rising);
    EXPECT_NEAR(blink.elapsed, 0.25f, 1e-5f);
    EXPECT_NEAR(light->intensity.y, 0.4f, 1e-5f);
    blink.update(0.75);
    EXPECT_NEAR(light->intensity.z, 1.0f, 1e-5f) << "exactly at the period the ramp has not flipped yet";
    EXPECT_FALSE(blink.rising);
    blink.update(0.5);
    EXPECT_TRUE(blink.rising);
    EXPECT_NEAR(light->intensity.x, 0.6f, 1e-5f);
}

TEST(LightBlinkingNode, LongStallKeepsTheColourBetweenBothEnds) {
    LightBlinkingNode blink(glm::vec3(1.0f), glm::vec3(0.0f), 0.5f, 0.0f);
    LightNode* light = drivenLight(blink);
    blink.update(3.0);
    EXPECT_GE(light->intensity.x, 0.0f);
    EXPECT_LE(light->intensity.x, 1.0f);
}

}  // namespace
