#include "render/Environment.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "render/LightNode.h"
#include "render/LightRegistry.h"

Environment environment;

Environment::~Environment() {
    // The registry may be gone already; only the lights themselves go.
    for (LightNode* light : levelLights) delete light;
}

glm::vec3 Environment::clearColor() const {
    if (fogEnabled) return glm::vec3(FOG_GREY);
    return lightingMode == LightingMode::Night ? NIGHT_SKY : DAY_SKY;
}

void Environment::applyClearColor() const {
    // The light tests run without a window; there is no clear colour to set then.
    if (!glfwGetCurrentContext()) return;
    const glm::vec3 c = clearColor();
    glClearColor(c.r, c.g, c.b, 0.0f);
}

void Environment::setLighting(LightingMode mode) {
    if (mode == LightingMode::Day) {
        clearLights();
        levelLights.push_back(LightNode::ambient(glm::vec3(0.6f)));
        levelLights.push_back(LightNode::directional(glm::vec3(1.0f)));
    } else if (mode == LightingMode::Night) {
        clearLights();
        levelLights.push_back(LightNode::ambient(glm::vec3(0.2f)));
    }
    lightingMode = mode;
    if (mode == LightingMode::Day || mode == LightingMode::Night) applyClearColor();
    for (LightNode* light : levelLights) light->update(-1.0);
}

void Environment::setFog(bool on) {
    fogEnabled = on;
    applyClearColor();
}

void Environment::clearLights() {
    for (LightNode* light : levelLights) delete light;
    levelLights.clear();
    lightRegistry.clear();
}
