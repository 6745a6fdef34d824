#include "app/SettingKeys.h"

#include <GLFW/glfw3.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/GameState.h"
#include "core/RenderSettings.h"
#include "player/PlayerNode.h"
#include "scene/CameraNode.h"
#include "support/ProcessState.h"
#include "support/RecordingAudio.h"

namespace {

std::vector<bool> polygonModes;
void recordPolygonMode(bool wireframe) { polygonModes.push_back(wireframe); }

class SettingKeys : public ScriptedInputTest {
protected:
    void SetUp() override {
        RenderSettings& settings = RenderSettings::instance();
        settings.textureSampling = TextureSampling::Bilinear;
        settings.mipMapping = MipMapping::Linear;
        settings.transparency = true;
        settings.frustumCulling = true;
        settings.fullTerrainDetail = false;
        settings.autoRenderScale = true;
        polygonModes.clear();
        polygonModeHook = recordPolygonMode;
    }
    void TearDown() override { delete gameState.player; }

    // Presses the key for one pass and releases it for the next.
    std::string tap(int key) {
        input.press(key);
        testing::internal::CaptureStdout();
        handleSettingKeys(nullptr);
        input.release(key);
        handleSettingKeys(nullptr);
        return testing::internal::GetCapturedStdout();
    }

    std::string status() const { return gameState.statusMessage; }

};

const char* const BILINEAR_LINEAR = "Texture-Sampling-Quality: Bilinear\nMip-Mapping-Quality: Linear\n";

}  // namespace

TEST_F(SettingKeys, OnOffKeysToggleAndAnnounce) {
    struct Case {
        int key;
        const char* on;
        const char* off;
    };
    const Case cases[] = {
        {GLFW_KEY_F2, "Show FPS enabled", "Show FPS disabled"},
        {GLFW_KEY_F3, "Wireframe on", "Wireframe off"},
        {GLFW_KEY_F6, "Motionblur enabled", "Motionblur disabled"},
        {GLFW_KEY_F8, "Frustrum-Culling enabled", "Frustrum-Culling disabled"},
        {GLFW_KEY_F9, "Transparency enabled", "Transparency disabled"},
        {GLFW_KEY_V, "Flight gauge on", "Flight gauge off"},
        {GLFW_KEY_G, "Ghost on", "Ghost off"},
    };
    RenderSettings& settings = RenderSettings::instance();
    for (const Case& c : cases) {
        gameState.messageTime = 0.0;
        EXPECT_EQ(tap(c.key), "");
        EXPECT_EQ(gameState.messageTime, 2.0);
        // F2 and F3 start off, the others on.
        bool startsOff = c.key == GLFW_KEY_F2 || c.key == GLFW_KEY_F3;
        EXPECT_EQ(status(), startsOff ? c.on : c.off);
        tap(c.key);
        EXPECT_EQ(status(), startsOff ? c.off : c.on);
    }
    EXPECT_FALSE(gameState.showFps);
    EXPECT_FALSE(gameState.wireframe);
    EXPECT_TRUE(gameState.motionBlur);
    EXPECT_TRUE(settings.frustumCulling);
    EXPECT_TRUE(settings.transparency);
    EXPECT_EQ(polygonModes, (std::vector<bool>{true, false}));

    input.press(GLFW_KEY_F6);
    handleSettingKeys(nullptr);
    EXPECT_FALSE(gameState.motionBlur);
    input.press(GLFW_KEY_F8);
    handleSettingKeys(nullptr);
    EXPECT_FALSE(settings.frustumCulling);
    EXPECT_FALSE(gameState.motionBlur);  // F6 still held: no second toggle
}

TEST_F(SettingKeys, MMutesAndUnmutesTheSoundWithALine) {
    RecordingAudio audio;
    EXPECT_EQ(tap(GLFW_KEY_M), "Sound muted\n");
    EXPECT_TRUE(gameState.soundMuted);
    EXPECT_EQ(status(), "Sound muted");
    EXPECT_EQ(gameState.messageTime, 2.0);
    EXPECT_EQ(tap(GLFW_KEY_M), "Sound unmuted\n");
    EXPECT_EQ(status(), "Sound on");
    EXPECT_EQ(audio.events, (std::vector<std::string>{"mute", "unmute"}));
}

TEST_F(SettingKeys, F10CyclesAutoFullAndFullTerrainDetailAndPrints) {
    const RenderSettings& settings = RenderSettings::instance();
    EXPECT_EQ(tap(GLFW_KEY_F10), "Render scale: full\n");
    EXPECT_FALSE(settings.autoRenderScale);
    EXPECT_FALSE(settings.fullTerrainDetail);
    EXPECT_EQ(gameState.messageTime, 2.0);
    EXPECT_EQ(tap(GLFW_KEY_F10), "Terrain detail: full\n");
    EXPECT_FALSE(settings.autoRenderScale);
    EXPECT_TRUE(settings.fullTerrainDetail);
    gameState.renderScale = 0.85f;
    EXPECT_EQ(tap(GLFW_KEY_F10), "Render scale: auto (0.85)\n");
    EXPECT_TRUE(settings.autoRenderScale);
    EXPECT_FALSE(settings.fullTerrainDetail);
    // The status line follows the scale while it shows, and only then.
    gameState.renderScale = 0.7f;
    refreshRenderScaleStatus();
    EXPECT_EQ(status(), "Render scale: auto (0.70)");
    tap(GLFW_KEY_F2);
    refreshRenderScaleStatus();
    EXPECT_EQ(status(), "Show FPS enabled");
}

TEST_F(SettingKeys, HoldingAKeyTogglesOnce) {
    input.press(GLFW_KEY_F3);
    for (int i = 0; i < 5; ++i) handleSettingKeys(nullptr);
    EXPECT_TRUE(gameState.wireframe);
    EXPECT_EQ(polygonModes.size(), 1u);
    input.release(GLFW_KEY_F3);
    handleSettingKeys(nullptr);
    input.press(GLFW_KEY_F3);
    handleSettingKeys(nullptr);
    EXPECT_FALSE(gameState.wireframe);
    EXPECT_EQ(polygonModes, (std::vector<bool>{true, false}));
}

TEST_F(SettingKeys, TextureSamplingCyclesAndPrints) {
    RenderSettings& settings = RenderSettings::instance();
    EXPECT_EQ(tap(GLFW_KEY_F4), "Texture-Sampling-Quality: Nearest-Neighbor\nMip-Mapping-Quality: Linear\n");
    EXPECT_EQ(settings.textureSampling, TextureSampling::Nearest);
    EXPECT_EQ(status(), "TSQ: Nearest-Neighbor");
    EXPECT_EQ(tap(GLFW_KEY_F4), BILINEAR_LINEAR);
    EXPECT_EQ(settings.textureSampling, TextureSampling::Bilinear);
    EXPECT_EQ(status(), "TSQ: Bilinear");
    settings.textureSampling = static_cast<TextureSampling>(2);
    tap(GLFW_KEY_F4);
    EXPECT_EQ(settings.textureSampling, TextureSampling::Bilinear);
}

TEST_F(SettingKeys, MipMappingCyclesAndPrints) {
    RenderSettings& settings = RenderSettings::instance();
    EXPECT_EQ(tap(GLFW_KEY_F5), "Texture-Sampling-Quality: Bilinear\nMip-Mapping-Quality: Off\n");
    EXPECT_EQ(status(), "MipMapping: Off");
    EXPECT_EQ(tap(GLFW_KEY_F5), "Texture-Sampling-Quality: Bilinear\nMip-Mapping-Quality: Nearest-Neighbor\n");
    EXPECT_EQ(status(), "MipMapping: Nearest-Neighbor");
    EXPECT_EQ(tap(GLFW_KEY_F5), BILINEAR_LINEAR);
    EXPECT_EQ(status(), "MipMapping: Linear");
    EXPECT_EQ(settings.mipMapping, MipMapping::Linear);
    settings.mipMapping = static_cast<MipMapping>(7);
    tap(GLFW_KEY_F5);
    EXPECT_EQ(settings.mipMapping, MipMapping::Linear);
}

TEST_F(SettingKeys, PrintTextureQualityLeavesOutUnknownValues) {
    RenderSettings::instance().textureSampling = static_cast<TextureSampling>(2);
    RenderSettings::instance().mipMapping = static_cast<MipMapping>(-1);
    testing::internal::CaptureStdout();
    printTextureQuality();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Texture-Sampling-Quality: \nMip-Mapping-Quality: \n");
}

TEST_F(SettingKeys, OtherKeysChangeNothing) {
    for (int key : {GLFW_KEY_F1, GLFW_KEY_F7, GLFW_KEY_F11, GLFW_KEY_F12}) {
        EXPECT_EQ(tap(key), "");
    }
    EXPECT_EQ(gameState.messageTime, 0.0);
    EXPECT_EQ(status(), "");
    EXPECT_FALSE(gameState.showFps);
    EXPECT_TRUE(gameState.motionBlur);
    EXPECT_EQ(gameState.cameraDistance, -5);
    EXPECT_EQ(RenderSettings::instance().textureSampling, TextureSampling::Bilinear);
    EXPECT_FALSE(RenderSettings::instance().fullTerrainDetail);
    EXPECT_TRUE(polygonModes.empty());
}

TEST_F(SettingKeys, TwoKeysInOnePassBothActLaterMessageWins) {
    input.press(GLFW_KEY_F9);
    input.press(GLFW_KEY_F2);
    handleSettingKeys(nullptr);
    EXPECT_TRUE(gameState.showFps);
    EXPECT_FALSE(RenderSettings::instance().transparency);
    EXPECT_EQ(status(), "Transparency disabled");

    input.releaseAll();
    handleSettingKeys(nullptr);
    // C comes after the function keys.
    input.press(GLFW_KEY_C);
    input.press(GLFW_KEY_F6);
    handleSettingKeys(nullptr);
    EXPECT_FALSE(gameState.motionBlur);
    EXPECT_EQ(status(), "Camera near");
}

TEST_F(SettingKeys, CameraKeyStepsNearMiddleFar) {
    Node player;
    CameraNode* camera = new CameraNode();
    ASSERT_EQ(activeCamera, camera);
    camera->setRotation(-15.0f, 0.0f, 0.0f);
    camera->moveLocal(glm::vec3(0.0f, -0.7f, float(gameState.cameraDistance)));
    player.addChild(camera);

    auto offset = [&] { return glm::vec3(camera->translationMatrix[3]); };
    EXPECT_NEAR(offset().z, 4.65f, 0.01f);
    EXPECT_NEAR(offset().y, 1.97f, 0.01f);

    struct Step {
        int distance;
        const char* message;
        float behind, above;
    };
    const Step steps[] = {{-2, "Camera near", 1.75f, 1.19f},
                          {-3, "Camera middle", 2.72f, 1.45f},
                          {-5, "Camera far", 4.65f, 1.97f},
                          {-2, "Camera near", 1.75f, 1.19f}};
    for (const Step& step : steps) {
        gameState.messageTime = 0.0;
        tap(GLFW_KEY_C);
        EXPECT_EQ(gameState.cameraDistance, step.distance);
        EXPECT_EQ(status(), step.message);
        EXPECT_EQ(gameState.messageTime, 2.0);
        EXPECT_NEAR(offset().z, step.behind, 0.01f);
        EXPECT_NEAR(offset().y, step.above, 0.01f);
        EXPECT_NEAR(offset().x, 0.0f, 1e-5f);
    }
    // Only the position moves.
    EXPECT_EQ(camera->rotationAngles, glm::vec3(-15.0f, 0.0f, 0.0f));

    // An unknown distance stays where it is and keeps the old message.
    gameState.cameraDistance = -4;
    glm::vec3 before = offset();
    gameState.messageTime = 0.0;
    tap(GLFW_KEY_C);
    EXPECT_EQ(gameState.cameraDistance, -4);
    EXPECT_EQ(status(), "Camera near");
    EXPECT_EQ(gameState.messageTime, 2.0);
    EXPECT_NEAR(glm::distance(offset(), before), 0.0f, 1e-5f);
}

TEST_F(SettingKeys, CameraKeyWithoutCameraStillCycles) {
    ASSERT_EQ(activeCamera, nullptr);
    tap(GLFW_KEY_C);
    EXPECT_EQ(gameState.cameraDistance, -2);
    EXPECT_EQ(status(), "Camera near");
}

TEST_F(SettingKeys, EnterRestartsTheLevel) {
    gameState.player = new PlayerNode(nullptr);
    gameState.player->startPosition = glm::vec3(0.0f, 130.0f, 50.0f);
    gameState.player->setPosition(glm::vec3(5.0f, 6.0f, 700.0f));
    gameState.player->stopped = true;
    gameState.raceTime = 12.5;
    input.press(GLFW_KEY_ENTER);
    handleSettingKeys(nullptr);
    EXPECT_EQ(gameState.raceTime, 0.0);
    EXPECT_FALSE(gameState.player->stopped);
    EXPECT_EQ(glm::vec3(gameState.player->translationMatrix[3]), glm::vec3(0.0f, 130.0f, 50.0f));
    // Held: no second restart.
    gameState.raceTime = 3.0;
    handleSettingKeys(nullptr);
    EXPECT_EQ(gameState.raceTime, 3.0);
}

TEST_F(SettingKeys, JoystickButtonsFromTheLastPresentJoystick) {
    input.setJoystick(1, {}, {GLFW_PRESS});
    input.setJoystick(4, {}, {GLFW_RELEASE, GLFW_RELEASE, GLFW_PRESS});
    gameState.player = new PlayerNode(nullptr);
    gameState.player->reset();
    ASSERT_EQ(gameState.player->joysticks, (std::vector<int>{1, 4}));

    handleSettingKeys(nullptr);
    EXPECT_TRUE(gameState.joystickSeen);
    EXPECT_EQ(gameState.joystickButtonCount, 3);
    EXPECT_EQ(gameState.joystickButtons,
              (std::vector<unsigned char>{GLFW_RELEASE, GLFW_RELEASE, GLFW_PRESS}));

    // Unplugged: the first one answers now; once seen, always seen.
    input.unplugJoystick(4);
    handleSettingKeys(nullptr);
    EXPECT_EQ(gameState.joystickButtonCount, 1);
    input.unplugJoystick(1);
    handleSettingKeys(nullptr);
    EXPECT_TRUE(gameState.joystickSeen);
    EXPECT_EQ(gameState.joystickButtonCount, 1);
}

TEST_F(SettingKeys, HeldJoy2RestartsInEveryPass) {
    input.setJoystick(0, {0.0f, 0.0f}, {GLFW_RELEASE, GLFW_PRESS});
    gameState.player = new PlayerNode(nullptr);
    gameState.player->reset();
    for (int i = 0; i < 3; ++i) {
        gameState.raceTime = 1.0;
        handleSettingKeys(nullptr);
        EXPECT_EQ(gameState.raceTime, 0.0) << i;
    }
    input.setJoystick(0, {}, {GLFW_RELEASE, GLFW_RELEASE});
    gameState.raceTime = 1.0;
    handleSettingKeys(nullptr);
    EXPECT_EQ(gameState.raceTime, 1.0);
}

TEST_F(SettingKeys, JoystickWithFewerThanTwoButtonsNeverRestarts) {
    input.setJoystick(0, {}, {GLFW_PRESS});
    input.setJoystick(2, {}, {});
    gameState.player = new PlayerNode(nullptr);
    gameState.player->reset();
    gameState.raceTime = 1.0;
    handleSettingKeys(nullptr);
    EXPECT_TRUE(gameState.joystickSeen);
    EXPECT_EQ(gameState.joystickButtonCount, 0);
    EXPECT_EQ(gameState.raceTime, 1.0);
    input.unplugJoystick(2);
    handleSettingKeys(nullptr);
    EXPECT_EQ(gameState.joystickButtonCount, 1);
    EXPECT_EQ(gameState.raceTime, 1.0);
}

TEST_F(SettingKeys, EnvironmentKeysActOncePerPressWithOneLatch) {
    input.press(GLFW_KEY_N);
    EXPECT_EQ(pollEnvironmentKey(nullptr), 0);  // held since start: the latch is set then
    input.releaseAll();
    EXPECT_EQ(pollEnvironmentKey(nullptr), 0);
    EXPECT_FALSE(environmentKeyLatch);

    input.press(GLFW_KEY_N);
    EXPECT_EQ(pollEnvironmentKey(nullptr), GLFW_KEY_N);
    EXPECT_EQ(pollEnvironmentKey(nullptr), 0);
    input.press(GLFW_KEY_F);  // while N is still held
    EXPECT_EQ(pollEnvironmentKey(nullptr), 0);
    input.release(GLFW_KEY_N);  // F still held
    EXPECT_EQ(pollEnvironmentKey(nullptr), 0);
    input.release(GLFW_KEY_F);
    EXPECT_EQ(pollEnvironmentKey(nullptr), 0);
    input.press(GLFW_KEY_F);
    EXPECT_EQ(pollEnvironmentKey(nullptr), GLFW_KEY_F);

    // N wins over F and L when pressed together.
    input.releaseAll();
    pollEnvironmentKey(nullptr);
    input.press(GLFW_KEY_L);
    input.press(GLFW_KEY_F);
    input.press(GLFW_KEY_N);
    EXPECT_EQ(pollEnvironmentKey(nullptr), GLFW_KEY_N);
}
