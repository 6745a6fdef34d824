#pragma once

#include <glm/glm.hpp>

#include "scene/Node.h"

// A light in the scene: draws nothing, keeps its entry in the light registry
// up to date while it matters for the current view.
class LightNode : public Node {
public:
    // type: 0 ambient, 1 directional, 2 point, 3 spot.
    LightNode(int type, const glm::vec3& position, const glm::vec3& intensity, float range, float angle);
    static LightNode* ambient(const glm::vec3& intensity);
    static LightNode* directional(const glm::vec3& intensity);
    static LightNode* spot(const glm::vec3& position, const glm::vec3& intensity, float range, float angle);

    // Called once per frame; enters, refreshes or leaves the registry.
    void update(double dt) override;
    bool isCulled();

    int id;
    bool enabled = true;
    int type;
    glm::vec3 intensity;
    float range;
    float angle;
    float activationDistance = 300.0f;
};
