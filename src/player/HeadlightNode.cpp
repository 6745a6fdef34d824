#include "player/HeadlightNode.h"

#include "render/Environment.h"

HeadlightNode::HeadlightNode() : LightNode(LightType::Spot, glm::vec3(0.0f, 0.0f, -1.1f), glm::vec3(0.1f), 200.0f, 20.0f) {}

void HeadlightNode::update(double dt) {
    intensity = environment.lightingMode == LightingMode::Night ? glm::vec3(1.0f) : glm::vec3(0.1f);
    LightNode::update(dt);
}
