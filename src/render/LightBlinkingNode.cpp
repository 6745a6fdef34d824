#include "render/LightBlinkingNode.h"

LightBlinkingNode::LightBlinkingNode(const glm::vec3& colorA, const glm::vec3& colorB, float period, float elapsed)
    : period(period), elapsed(elapsed), colorA(colorA), colorB(colorB) {}

void LightBlinkingNode::update(double dt) {
    Node::update(dt);
    elapsed = static_cast<float>(elapsed + dt);
    if (elapsed > period) {
        elapsed -= period;
        rising = !rising;
        // A stall longer than two ramps would leave the weight outside 0..1.
        if (elapsed > period) elapsed = period;
    }
    const float f = period > 0.0f ? elapsed / period : 1.0f;
    const float w = rising ? f : 1.0f - f;
    const glm::vec3 color = colorA + (colorB - colorA) * w;
    for (LightNode* light : lights) light->intensity = color;
}
