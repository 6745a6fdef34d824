#pragma once

#include <glm/glm.hpp>

#include "scene/Node.h"

// The values are what the shaders' lightType uniform expects; Off stands in
// the registry for a light that is switched off.
enum class LightType : int { Off = -1, Ambient = 0, Directional = 1, Point = 2, Spot = 3 };

// Ambient and directional light reach everywhere: never culled, faded or
// dropped with distance.
inline bool isSkyLight(LightType type) { return type == LightType::Ambient || type == LightType::Directional; }

// A light in the scene: draws nothing, keeps its entry in the light registry
// up to date while it matters for the current view.
class LightNode : public Node {
public:
    LightNode(LightType type, const glm::vec3& position, const glm::vec3& intensity, float range, float angle);
    static LightNode* ambient(const glm::vec3& intensity);
    static LightNode* directional(const glm::vec3& intensity);
    static LightNode* spot(const glm::vec3& position, const glm::vec3& intensity, float range, float angle);

    // Called once per frame; enters, refreshes or leaves the registry.
    void update(double dt) override;
    bool isCulled();

    int id;
    bool enabled = true;
    LightType type;
    glm::vec3 intensity;
    float range;
    float angle;
    float activationDistance = 300.0f;
};
