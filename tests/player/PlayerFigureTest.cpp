#include "player/PlayerFigure.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/GameState.h"
#include "app/SettingKeys.h"
#include "player/PlayerNode.h"
#include "render/Environment.h"
#include "render/GeometryNode.h"
#include "render/LightNode.h"
#include "scene/CameraNode.h"
#include "scene/CollisionNode.h"
#include "support/ProcessState.h"

namespace {

// The lit figure from mesh-less parts under a root with a terrain at the
// origin, its camera on it, stepped with the environment keys read as the
// game reads them. No GL is touched.
class PlayerFigureTest : public ScriptedInputTest {
protected:
    void SetUp() override {
        environment.fogEnabled = false;
        environmentKeyLatch = false;
        root = new Node();
        root->addChild(new GeometryNode());
        PlayerParts parts;
        for (Node** part : {&parts.body, &parts.leftWing, &parts.rightWing, &parts.brokenLeftWing,
                            &parts.brokenRightWing, &parts.leftFrontLeg, &parts.rightFrontLeg, &parts.leftBackLeg,
                            &parts.rightBackLeg})
            *part = new GeometryNode();
        parts.leftLamp = new Node();
        parts.rightLamp = new Node();
        player = assembleLitPlayer(nullptr, parts);
        camera = new CameraNode();
        player->addChild(camera);
        root->addChild(player);
        gameState.player = player;
        root->update(0.0);
    }
    void TearDown() override { delete root; }

    void step() {
        handleEnvironmentKeys(nullptr, *player);
        player->controls = player->readControls();
        root->update(1.0 / 60.0);
    }

    Node* root = nullptr;
    PlayerNode* player = nullptr;
    CameraNode* camera = nullptr;
};

TEST_F(PlayerFigureTest, AssembledFigureStandsAtTheStartFacingPlusZ) {
    EXPECT_EQ(player->startPosition, glm::vec3(0.0f, 130.0f, 50.0f));
    const glm::mat4 world = player->getWorldMatrix();
    EXPECT_EQ(glm::vec3(world[3]), glm::vec3(0.0f, 130.0f, 50.0f));
    const glm::vec3 f = -glm::normalize(glm::vec3(world[2]));
    EXPECT_NEAR(f.x, 0.0f, 1e-6f);
    EXPECT_NEAR(f.y, 0.0f, 1e-6f);
    EXPECT_NEAR(f.z, 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(player->speed, 25.0f);
    EXPECT_FALSE(player->leftWingBroken);
    EXPECT_FALSE(player->rightWingBroken);
    EXPECT_FALSE(player->stopped);

    // Headlight, body, legs lf rf lb rb, wings (re-appended), body volume, camera.
    std::vector<Node*> expected = {player->spotlight, nullptr, player->limb(Limb::LeftFrontLeg), player->limb(Limb::RightFrontLeg),
                                   player->limb(Limb::LeftBackLeg), player->limb(Limb::RightBackLeg), player->limb(Limb::LeftWing), player->limb(Limb::RightWing),
                                   nullptr, camera};
    std::vector<Node*> actual(player->children.begin(), player->children.end());
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        if (expected[k]) {
            EXPECT_EQ(actual[k], expected[k]) << "child " << k;
        }
    }
    EXPECT_NE(dynamic_cast<GeometryNode*>(actual[1]), nullptr);
    EXPECT_NE(dynamic_cast<CollisionNode*>(actual[8]), nullptr);
    EXPECT_EQ(player->spotlight->type, LightType::Spot);
    EXPECT_EQ(player->brokenLeftWing->parent, nullptr);
    EXPECT_EQ(player->brokenRightWing->parent, nullptr);
    EXPECT_FLOAT_EQ(static_cast<GeometryNode*>(player->limb(Limb::LeftWing))->alpha, 0.99f);
    EXPECT_FLOAT_EQ(static_cast<GeometryNode*>(player->brokenRightWing)->alpha, 0.99f);
}

TEST_F(PlayerFigureTest, TheRestoredRightWingCarriesItsLampsTwoGreenSpots) {
    player->breakWing(WingSide::Right);
    player->reset();
    Node* wing = player->limb(Limb::RightWing);
    // The wing carries its lamp (two green spots) and its collision volume.
    ASSERT_EQ(wing->children.size(), 2u);
    Node* lamp = wing->children.front();
    ASSERT_EQ(lamp->children.size(), 2u);
    for (Node* child : lamp->children) {
        LightNode* light = dynamic_cast<LightNode*>(child);
        ASSERT_NE(light, nullptr);
        EXPECT_EQ(light->type, LightType::Spot);
        EXPECT_EQ(light->intensity.r, 0.0f);
        EXPECT_GT(light->intensity.g, 0.0f);
    }
    EXPECT_NE(dynamic_cast<CollisionNode*>(wing->children.back()), nullptr);
}

TEST_F(PlayerFigureTest, AStoppedFigureStillReadsTheHeadlightKey) {
    player->stopped = true;
    input.press(GLFW_KEY_L);
    step();
    EXPECT_FALSE(player->spotlight->enabled);
}

TEST_F(PlayerFigureTest, EnvironmentKeysSwitchNightFogAndHeadlight) {
    testing::internal::CaptureStdout();
    input.press(GLFW_KEY_N);
    step();
    step();
    EXPECT_EQ(environment.lightingMode, LightingMode::Night);
    EXPECT_EQ(player->spotlight->intensity, glm::vec3(1.0f));
    EXPECT_EQ(environment.levelLights.size(), 1u);
    input.releaseAll();
    step();
    input.press(GLFW_KEY_N);
    step();
    EXPECT_EQ(environment.lightingMode, LightingMode::Day);
    EXPECT_EQ(player->spotlight->intensity, glm::vec3(0.1f));
    input.releaseAll();
    step();

    input.press(GLFW_KEY_F);
    step();
    EXPECT_TRUE(environment.fogEnabled);
    input.releaseAll();
    step();

    input.press(GLFW_KEY_L);
    step();
    step();
    EXPECT_FALSE(player->spotlight->enabled);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Weather set to night\n"), std::string::npos);
    EXPECT_NE(out.find("Weather set to day\n"), std::string::npos);
    EXPECT_NE(out.find("Fog toggled\n"), std::string::npos);
    EXPECT_NE(out.find("Spotlight toggled\n"), std::string::npos);
    EXPECT_EQ(out.find("Spotlight toggled\n"), out.rfind("Spotlight toggled\n"));

    // The headlight follows the lighting mode every frame.
    input.releaseAll();
    environment.lightingMode = LightingMode::Night;
    step();
    EXPECT_EQ(player->spotlight->intensity, glm::vec3(1.0f));
}

}  // namespace
