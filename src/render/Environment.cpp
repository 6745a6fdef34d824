#include "render/Environment.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "render/LightNode.h"
#include "render/LightRegistry.h"

Environment environment;

namespace {

// The light tests run without a window; there is no clear colour to set then.
void setClearColor(const glm::vec3& c) {
    if (glfwGetCurrentContext()) glClearColor(c.r, c.g, c.b, 0.0f);
}

}  // namespace

Environment::~Environment() {
    // The registry may be gone already; only the lights themselves go.
    for (LightNode* light : levelLights) delete light;
}

glm::vec3 Environment::clearColor() const {
    if (fogEnabled) return glm::vec3(FOG_GREY);
    if (lightingMode == 1) return glm::vec3(0.112f, 0.2f, 0.344f);
    return glm::vec3(0.43f, 0.65f, 0.87f);
}

void Environment::setLighting(int mode) {
    if (mode == 0) {
        setClearColor(fogEnabled ? glm::vec3(FOG_GREY) : glm::vec3(0.43f, 0.65f, 0.87f));
        clearLights();
        levelLights.push_back(LightNode::ambient(glm::vec3(0.6f)));
        levelLights.push_back(LightNode::directional(glm::vec3(1.0f)));
    } else if (mode == 1) {
        setClearColor(fogEnabled ? glm::vec3(FOG_GREY) : glm::vec3(0.112f, 0.2f, 0.344f));
        clearLights();
        levelLights.push_back(LightNode::ambient(glm::vec3(0.2f)));
    }
    lightingMode = mode;
    for (LightNode* light : levelLights) light->update(-1.0);
}

void Environment::setFog(bool on) {
    fogEnabled = on;
    setClearColor(clearColor());
}

void Environment::clearLights() {
    for (LightNode* light : levelLights) delete light;
    levelLights.clear();
    lightRegistry.clear();
}
