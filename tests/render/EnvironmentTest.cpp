#include "render/Environment.h"

#include <gtest/gtest.h>

#include "render/LightNode.h"
#include "render/LightRegistry.h"
#include "scene/CameraNode.h"
#include "support/ProcessState.h"

namespace {

// The game's environment with a camera at the origin looking along -z.
class EnvironmentLights : public ::testing::Test {
protected:
    EnvironmentLights() {
        camera.update(0.0);
        frustumUpToDate = false;
    }
    ProcessState state;
    CameraNode camera;
};

TEST(Environment, ClearColourFollowsFogAndMode) {
    Environment env;
    env.fogEnabled = true;
    EXPECT_EQ(env.clearColor(), glm::vec3(0.4f));
    env.setFog(false);
    EXPECT_EQ(env.clearColor(), glm::vec3(0.43f, 0.65f, 0.87f));
    env.lightingMode = LightingMode::Night;
    EXPECT_EQ(env.clearColor(), glm::vec3(0.112f, 0.2f, 0.344f));
    env.setFog(true);
    EXPECT_TRUE(env.fogEnabled);
    EXPECT_EQ(env.clearColor(), glm::vec3(0.4f));
}

TEST_F(EnvironmentLights, NightLeavesOneDimAmbientLight) {
    environment.setLighting(LightingMode::Day);
    ASSERT_EQ(environment.levelLights.size(), 2u);
    ASSERT_EQ(lightRegistry.size(), 2) << "the default lights register at once";
    EXPECT_EQ(lightRegistry.lightTypes[0], LightType::Ambient);
    EXPECT_EQ(lightRegistry.lightTypes[1], LightType::Directional);
    EXPECT_EQ(lightRegistry.lightIntensities[0], glm::vec3(0.6f));
    EXPECT_EQ(environment.lightingMode, LightingMode::Day);

    environment.setLighting(LightingMode::Night);
    ASSERT_EQ(environment.levelLights.size(), 1u);
    EXPECT_EQ(environment.levelLights[0]->type, LightType::Ambient);
    EXPECT_EQ(environment.levelLights[0]->intensity, glm::vec3(0.2f));
    EXPECT_EQ(environment.lightingMode, LightingMode::Night);
    ASSERT_EQ(lightRegistry.size(), 1);

    environment.setLighting(static_cast<LightingMode>(7));
    EXPECT_EQ(environment.lightingMode, static_cast<LightingMode>(7));
    EXPECT_EQ(environment.levelLights.size(), 1u) << "an unknown mode keeps the lights";
}

TEST_F(EnvironmentLights, ClearLightsAlsoDropsSceneLights) {
    LightNode* lamp = new LightNode(LightType::Point, glm::vec3(0, 0, -10), glm::vec3(1.0f, 0.8f, 0.6f), 10.0f, 0.0f);
    lamp->update(0.0);
    environment.setLighting(LightingMode::Day);
    EXPECT_EQ(lightRegistry.size(), 2) << "setLighting starts from an empty registry";
    lamp->update(0.0);
    EXPECT_EQ(lightRegistry.size(), 3) << "and scene lights come back at their next update";
    environment.clearLights();
    EXPECT_EQ(lightRegistry.size(), 0);
    EXPECT_TRUE(environment.levelLights.empty());
    delete lamp;
}

}  // namespace
