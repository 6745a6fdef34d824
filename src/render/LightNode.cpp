#include "render/LightNode.h"

#include <algorithm>

#include "core/RenderSettings.h"
#include "render/LightRegistry.h"
#include "scene/CameraNode.h"

namespace {
int nextLightId = 0;
}

LightNode::LightNode(LightType type, const glm::vec3& position, const glm::vec3& intensity, float range, float angle)
    : id(nextLightId++), type(type), intensity(intensity), range(range), angle(angle) {
    setPosition(position);
}

LightNode* LightNode::ambient(const glm::vec3& intensity) {
    return new LightNode(LightType::Ambient, glm::vec3(0.0f), intensity, 0.0f, 0.0f);
}

LightNode* LightNode::directional(const glm::vec3& intensity) {
    return new LightNode(LightType::Directional, glm::vec3(0.0f), intensity, 0.0f, 0.0f);
}

LightNode* LightNode::spot(const glm::vec3& position, const glm::vec3& intensity, float range, float angle) {
    return new LightNode(LightType::Spot, position, intensity, range, angle);
}

bool LightNode::isCulled() {
    if (isSkyLight(type)) return false;
    if (!RenderSettings::instance().frustumCulling) return false;
    ensureFrustum();
    return sphereOutsideFrustum(glm::vec3(getWorldMatrix()[3]), range);
}

void LightNode::update(double dt) {
    Node::update(dt);
    LightRegistry& registry = lightRegistry;
    const int index = registry.find(id);
    const bool culled = isCulled();

    const glm::mat4 world = getWorldMatrix();
    const glm::vec3 position(world[3]);
    glm::vec3 eye(0.0f);
    if (activeCamera) eye = glm::vec3(activeCamera->getWorldMatrix()[3]);
    const float d = glm::length(eye - position);
    float fade = 1.0f;
    if (!isSkyLight(type)) fade = std::clamp((280.0f - d) / 20.0f, 0.0f, 1.0f);

    const bool relevant = !culled && (d < activationDistance || isSkyLight(type));
    if (relevant) {
        const LightType shownType = enabled ? type : LightType::Off;
        const glm::vec3 direction = glm::normalize(-glm::vec3(world[2]));
        if (index < 0) {
            registry.activeLights.push_back(this);
            registry.lightTypes.push_back(shownType);
            registry.lightPositions.push_back(position);
            registry.lightDirections.push_back(direction);
            registry.lightIntensities.push_back(intensity * fade);
            registry.lightRanges.push_back(range);
            registry.lightAngles.push_back(angle);
        } else {
            registry.lightTypes[index] = shownType;
            registry.lightPositions[index] = position;
            registry.lightDirections[index] = direction;
            registry.lightIntensities[index] = intensity * fade;
            registry.lightRanges[index] = range;
            registry.lightAngles[index] = angle;
        }
    } else if (index >= 0 && !isSkyLight(type)) {
        registry.erase(index);
    }
}
