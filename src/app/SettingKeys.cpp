#include "app/SettingKeys.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>

#include "core/Audio.h"
#include "core/Gamepad.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "app/LevelFlow.h"
#include "core/RenderSettings.h"
#include "player/PlayerNode.h"
#include "render/Environment.h"
#include "render/LightNode.h"
#include "scene/CameraNode.h"

PolygonModeHook polygonModeHook = applyPolygonMode;

void applyPolygonMode(bool wireframe) {
    if (!glfwGetCurrentContext()) return;
    glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
}

namespace {

void announce(const char* message, const char* value = "") {
    gameState.messageTime = 2.0;
    std::snprintf(gameState.statusMessage, sizeof gameState.statusMessage, "%s%s", message, value);
}

void pollJoystickButtons() {
    if (!gameState.player) return;
    Input& input = Input::current();
    gameState.gamepadStartHeld = false;
    for (int id : gameState.player->joysticks) {
        if (!input.joystickPresent(id)) continue;
        Gamepad pad;
        if (Gamepad::read(input, id, pad)) {
            // By layout: A stands in for Joy1 and B for Joy2.
            gameState.joystickButtons = {static_cast<unsigned char>(pad.next ? GLFW_PRESS : GLFW_RELEASE),
                                         static_cast<unsigned char>(pad.restart ? GLFW_PRESS : GLFW_RELEASE)};
            gameState.joystickButtonCount = 2;
            gameState.joystickSeen = true;
            gameState.gamepadStartHeld = gameState.gamepadStartHeld || pad.start;
            continue;
        }
        int count = 0;
        const unsigned char* buttons = input.joystickButtons(id, &count);
        if (!buttons || count < 0) count = 0;
        gameState.joystickButtons.assign(buttons, buttons + count);
        gameState.joystickButtonCount = count;
        gameState.joystickSeen = true;
    }
}

// One press flips the flag and announces its new state.
bool toggleOnPress(GLFWwindow* window, int key, bool& flag, const char* onText, const char* offText) {
    if (!keyPressedOnce(window, key)) return false;
    flag = !flag;
    announce(flag ? onText : offText);
    return true;
}

void handleToggleKeys(GLFWwindow* window) {
    RenderSettings& settings = RenderSettings::instance();
    toggleOnPress(window, GLFW_KEY_F2, gameState.showFps, "Show FPS enabled", "Show FPS disabled");
    if (toggleOnPress(window, GLFW_KEY_F3, gameState.wireframe, "Wireframe on", "Wireframe off")) {
        polygonModeHook(gameState.wireframe);
    }
    if (keyPressedOnce(window, GLFW_KEY_F4)) {
        settings.textureSampling = nextSampling(settings.textureSampling);
        announce("TSQ: ", samplingName(settings.textureSampling));
        printTextureQuality();
    }
    if (keyPressedOnce(window, GLFW_KEY_F5)) {
        settings.mipMapping = nextMipMapping(settings.mipMapping);
        announce("MipMapping: ", mipMappingName(settings.mipMapping));
        printTextureQuality();
    }
    toggleOnPress(window, GLFW_KEY_F6, gameState.motionBlur, "Motionblur enabled", "Motionblur disabled");
    toggleOnPress(window, GLFW_KEY_F8, settings.frustumCulling, "Frustrum-Culling enabled",
                  "Frustrum-Culling disabled");
    toggleOnPress(window, GLFW_KEY_F9, settings.transparency, "Transparency enabled", "Transparency disabled");
    if (toggleOnPress(window, GLFW_KEY_F10, settings.fullTerrainDetail, "Terrain detail: full",
                      "Terrain detail: adaptive")) {
        std::printf("%s\n", gameState.statusMessage);
        std::fflush(stdout);
    }
    if (toggleOnPress(window, GLFW_KEY_M, gameState.soundMuted, "Sound muted", "Sound on")) {
        std::printf("%s\n", gameState.soundMuted ? "Sound muted" : "Sound unmuted");
        std::fflush(stdout);
        Audio::current().setMuted(gameState.soundMuted);
    }
    toggleOnPress(window, GLFW_KEY_V, gameState.showFlightGauge, "Flight gauge on", "Flight gauge off");
    toggleOnPress(window, GLFW_KEY_G, gameState.showGhost, "Ghost on", "Ghost off");
}

void handleRestart(GLFWwindow* window) {
    bool restart = gameState.keyBindings.pressedOnce(window, KeyBindings::RESTART);
    // Joy2 has no edge detection: held, it restarts in every pass.
    if (!restart && gameState.joystickSeen && gameState.joystickButtonCount >= 2 &&
        gameState.joystickButtons.size() >= 2 && gameState.joystickButtons[1] == GLFW_PRESS) {
        restart = true;
    }
    if (restart) restartLevel();
}

void handleCameraKey(GLFWwindow* window) {
    if (!keyPressedOnce(window, GLFW_KEY_C)) return;
    gameState.messageTime = 2.0;
    int before = gameState.cameraDistance;
    if (activeCamera) activeCamera->moveLocal(glm::vec3(0.0f, 0.0f, static_cast<float>(-before)));
    const char* message = nullptr;
    switch (before) {
        case -5: gameState.cameraDistance = -2; message = "Camera near"; break;
        case -2: gameState.cameraDistance = -3; message = "Camera middle"; break;
        case -3: gameState.cameraDistance = -5; message = "Camera far"; break;
        default: break;
    }
    if (message) std::snprintf(gameState.statusMessage, sizeof gameState.statusMessage, "%s", message);
    if (activeCamera) {
        activeCamera->moveLocal(glm::vec3(0.0f, 0.0f, static_cast<float>(gameState.cameraDistance)));
    }
}

}  // namespace

void handleSettingKeys(GLFWwindow* window) {
    pollJoystickButtons();
    handleToggleKeys(window);
    handleRestart(window);
    handleCameraKey(window);
}

void printTextureQuality() {
    const RenderSettings& settings = RenderSettings::instance();
    std::printf("Texture-Sampling-Quality: %s\nMip-Mapping-Quality: %s\n", samplingName(settings.textureSampling),
                mipMappingName(settings.mipMapping));
    std::fflush(stdout);
}

bool environmentKeyLatch = true;

int pollEnvironmentKey(GLFWwindow* window) {
    for (int key : {GLFW_KEY_N, GLFW_KEY_F, GLFW_KEY_L}) {
        if (Input::current().getKey(window, key) != GLFW_PRESS) continue;
        if (environmentKeyLatch) return 0;
        environmentKeyLatch = true;
        return key;
    }
    environmentKeyLatch = false;
    return 0;
}

void handleEnvironmentKeys(GLFWwindow* window, PlayerNode& player) {
    switch (pollEnvironmentKey(window)) {
        case GLFW_KEY_N:
            if (environment.lightingMode == LightingMode::Day) {
                std::printf("Weather set to night\n");
                environment.setLighting(LightingMode::Night);
            } else {
                std::printf("Weather set to day\n");
                environment.setLighting(LightingMode::Day);
            }
            // A bare figure (no GL) has no headlight.
            if (player.spotlight)
                player.spotlight->intensity =
                    environment.lightingMode == LightingMode::Night ? glm::vec3(1.0f) : glm::vec3(0.1f);
            std::fflush(stdout);
            break;
        case GLFW_KEY_F:
            environment.setFog(!environment.fogEnabled);
            std::printf("Fog toggled\n");
            std::fflush(stdout);
            break;
        case GLFW_KEY_L:
            if (player.spotlight) player.spotlight->enabled = !player.spotlight->enabled;
            std::printf("Spotlight toggled\n");
            std::fflush(stdout);
            break;
        default: break;
    }
}
