#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "render/LightNode.h"
#include "scene/Node.h"

// Sweeps the intensity of its lights from colorA to colorB and back,
// one ramp per period.
class LightBlinkingNode : public Node {
public:
    LightBlinkingNode(const glm::vec3& colorA, const glm::vec3& colorB, float period, float elapsed);

    // Called once per frame; advances the ramp and sets the lights' intensity.
    void update(double dt) override;

    std::vector<LightNode*> lights;  // not owned through this list
    float period;
    float elapsed;
    bool rising = true;
    glm::vec3 colorA, colorB;
};
