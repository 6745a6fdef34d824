#include "render/LightRegistry.h"

#include <gtest/gtest.h>

#include "core/RenderSettings.h"
#include "render/Environment.h"
#include "render/LightNode.h"
#include "scene/CameraNode.h"
#include "support/ProcessState.h"

namespace {

// A camera at the origin looking along -z, an empty registry and culling on.
class LightRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        camera = new CameraNode();
        camera->update(0.0);
        frustumUpToDate = false;
        RenderSettings::instance().frustumCulling = true;
    }
    void TearDown() override {
        lightRegistry.droppedReported = false;
        delete camera;
    }
    LightNode* point(const glm::vec3& position, float range = 10.0f) {
        return new LightNode(LightType::Point, position, glm::vec3(1.0f, 0.8f, 0.6f), range, 0.0f);
    }
    ProcessState state;
    CameraNode* camera = nullptr;
};

TEST_F(LightRegistryTest, PointLightFadesWithDistanceAndLeavesAt300) {
    LightNode* light = point(glm::vec3(0, 0, -270));
    light->update(0.0);
    ASSERT_EQ(lightRegistry.size(), 1);
    EXPECT_EQ(lightRegistry.activeLights[0], light);
    EXPECT_EQ(lightRegistry.lightTypes[0], LightType::Point);
    EXPECT_NEAR(lightRegistry.lightIntensities[0].x, 0.5f, 1e-5f);
    EXPECT_NEAR(lightRegistry.lightIntensities[0].y, 0.4f, 1e-5f);
    EXPECT_FLOAT_EQ(lightRegistry.lightRanges[0], 10.0f);
    EXPECT_NEAR(lightRegistry.lightPositions[0].z, -270.0f, 1e-4f);

    light->setPosition(glm::vec3(0, 0, -290));
    light->update(0.0);
    ASSERT_EQ(lightRegistry.size(), 1);
    EXPECT_EQ(lightRegistry.lightIntensities[0], glm::vec3(0.0f));

    light->setPosition(glm::vec3(0, 0, -300));
    light->update(0.0);
    EXPECT_EQ(lightRegistry.size(), 0);
    light->update(0.0);
    EXPECT_EQ(lightRegistry.size(), 0) << "a light at the activation distance is not added either";

    light->setPosition(glm::vec3(0, 0, -250));
    light->update(0.0);
    ASSERT_EQ(lightRegistry.size(), 1);
    EXPECT_FLOAT_EQ(lightRegistry.lightIntensities[0].x, 1.0f) << "full intensity up to 260";
    delete light;
}

TEST_F(LightRegistryTest, SpotBehindAPlaneIsCulledUnlessCullingIsOff) {
    LightNode* spot = LightNode::spot(glm::vec3(0, 0, -20), glm::vec3(1.0f), 4.0f, 30.0f);
    spot->update(0.0);
    ASSERT_EQ(lightRegistry.size(), 1);
    EXPECT_EQ(lightRegistry.lightTypes[0], LightType::Spot);
    EXPECT_FLOAT_EQ(lightRegistry.lightAngles[0], 30.0f);

    // 4.5 behind the near plane (z = -1): more than its range.
    spot->setPosition(glm::vec3(0, 0, 3.5f));
    spot->update(0.0);
    EXPECT_EQ(lightRegistry.size(), 0);

    // 3.5 behind it: its sphere still reaches into the view.
    spot->setPosition(glm::vec3(0, 0, 2.5f));
    spot->update(0.0);
    EXPECT_EQ(lightRegistry.size(), 1);

    RenderSettings::instance().frustumCulling = false;
    spot->setPosition(glm::vec3(0, 0, 50.0f));
    spot->update(0.0);
    EXPECT_EQ(lightRegistry.size(), 1) << "without culling only the distance counts";
    delete spot;
}

TEST_F(LightRegistryTest, AmbientAndDirectionalIgnoreDistanceAndView) {
    LightNode* sun = LightNode::directional(glm::vec3(1.0f));
    sun->setPosition(glm::vec3(0, 0, 1000));  // far behind the camera
    sun->update(0.0);
    LightNode* ambient = LightNode::ambient(glm::vec3(0.3f));
    ambient->setPosition(glm::vec3(5000, 0, 0));
    ambient->update(0.0);
    ASSERT_EQ(lightRegistry.size(), 2);
    EXPECT_EQ(lightRegistry.lightIntensities[0], glm::vec3(1.0f));
    EXPECT_EQ(lightRegistry.lightIntensities[1], glm::vec3(0.3f));
    EXPECT_EQ(lightRegistry.lightTypes[1], LightType::Ambient);
    EXPECT_EQ(lightRegistry.lightDirections[0], glm::vec3(0, 0, -1));
    delete sun;
    delete ambient;
}

TEST_F(LightRegistryTest, DirectionFollowsTheNodesRotation) {
    LightNode* spot = LightNode::spot(glm::vec3(0, 0, -10), glm::vec3(1.0f), 20.0f, 20.0f);
    spot->setRotation(0, 90, 0);
    spot->update(0.0);
    ASSERT_EQ(lightRegistry.size(), 1);
    EXPECT_NEAR(lightRegistry.lightDirections[0].x, -1.0f, 1e-5f);
    EXPECT_NEAR(lightRegistry.lightDirections[0].z, 0.0f, 1e-5f);
    delete spot;
}

TEST_F(LightRegistryTest, DisabledLightKeepsItsEntryWithTypeMinusOne) {
    LightNode* a = point(glm::vec3(0, 0, -10));
    LightNode* b = point(glm::vec3(0, 0, -20));
    a->update(0.0);
    b->update(0.0);
    a->enabled = false;
    a->update(0.0);
    ASSERT_EQ(lightRegistry.size(), 2);
    EXPECT_EQ(lightRegistry.activeLights[0], a);
    EXPECT_EQ(lightRegistry.lightTypes[0], LightType::Off);
    EXPECT_EQ(lightRegistry.lightTypes[1], LightType::Point);
    a->enabled = true;
    a->update(0.0);
    EXPECT_EQ(lightRegistry.lightTypes[0], LightType::Point);
    delete a;
    delete b;
}

TEST_F(LightRegistryTest, LeavingLightErasesItsRowAndLaterRowsMoveDown) {
    LightNode* a = point(glm::vec3(0, 0, -10), 1.0f);
    LightNode* b = point(glm::vec3(1, 0, -20), 2.0f);
    LightNode* c = point(glm::vec3(2, 0, -30), 3.0f);
    a->update(0.0);
    b->update(0.0);
    c->update(0.0);
    b->setPosition(glm::vec3(0, 0, -500));
    b->update(0.0);
    ASSERT_EQ(lightRegistry.size(), 2);
    EXPECT_EQ(lightRegistry.activeLights[1], c);
    EXPECT_FLOAT_EQ(lightRegistry.lightRanges[1], 3.0f);
    EXPECT_NEAR(lightRegistry.lightPositions[1].x, 2.0f, 1e-5f);
    EXPECT_EQ(lightRegistry.lightTypes.size(), 2u);
    EXPECT_EQ(lightRegistry.lightAngles.size(), 2u);
    EXPECT_EQ(lightRegistry.find(b->id), -1);
    EXPECT_EQ(lightRegistry.find(c->id), 1);
    EXPECT_LT(a->id, b->id);
    EXPECT_LT(b->id, c->id);
    delete a;
    delete b;
    delete c;
}

TEST_F(LightRegistryTest, LightUnderATransformedParentUsesItsWorldPosition) {
    Node parent;
    parent.setPosition(glm::vec3(0, 0, -100));
    LightNode* light = point(glm::vec3(0, 0, -180));
    parent.addChild(light);
    parent.update(0.0);
    ASSERT_EQ(lightRegistry.size(), 1);
    EXPECT_NEAR(lightRegistry.lightPositions[0].z, -280.0f, 1e-3f);
    EXPECT_NEAR(lightRegistry.lightIntensities[0].x, 0.0f, 1e-5f) << "fades by world distance";
}

TEST_F(LightRegistryTest, UploadCountIsCappedAndReportedOnce) {
    for (int i = 0; i < MAX_SHADER_LIGHTS + 6; ++i) environment.levelLights.push_back(LightNode::ambient(glm::vec3(0.01f)));
    for (LightNode* light : environment.levelLights) light->update(0.0);
    ASSERT_EQ(lightRegistry.size(), MAX_SHADER_LIGHTS + 6);
    testing::internal::CaptureStdout();
    EXPECT_EQ(lightRegistry.uploadCount(), MAX_SHADER_LIGHTS);
    EXPECT_EQ(lightRegistry.uploadCount(), MAX_SHADER_LIGHTS);
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("Too many lights"), std::string::npos);
    EXPECT_EQ(output.find("Too many lights"), output.rfind("Too many lights")) << "reported once";
    environment.clearLights();
    EXPECT_EQ(lightRegistry.uploadCount(), 0);
}

TEST_F(LightRegistryTest, ReachingKeepsTheSkyAndTheLampsWhoseRangeMeetsTheSphere) {
    LightNode* near = point(glm::vec3(0, 0, -30));
    LightNode* far = point(glm::vec3(0, 0, -10));
    environment.levelLights.push_back(LightNode::ambient(glm::vec3(0.2f)));
    for (LightNode* light : {near, far, environment.levelLights[0]}) light->update(0.0);
    ASSERT_EQ(lightRegistry.size(), 3);
    std::vector<int> reaching{7};
    lightRegistry.reaching(glm::vec3(0, 0, -25), 4.9f, reaching);
    EXPECT_EQ(reaching, (std::vector<int>{0, 2})) << "15 units off, a range of 10 misses a sphere of 4.9";
    lightRegistry.reaching(glm::vec3(0, 0, -25), 5.1f, reaching);
    EXPECT_EQ(reaching, (std::vector<int>{0, 1, 2}));
    environment.clearLights();
    delete near;
    delete far;
}

}  // namespace
