#pragma once

#include <glm/glm.hpp>

#include "render/ShaderFailure.h"
#include "scene/Node.h"

class GeometryNode;
struct GhostPose;

// A translucent copy of the figure for the ghost of the best run: body,
// wings and legs only, with meshes of its own. No lamps, no lights and no
// collision volumes, and it hangs in no scene tree, so nothing it does can
// reach the player or the collision test.
class GhostNode : public Node {
public:
    // How much of the figure shows through.
    static constexpr float ALPHA = 0.4f;

    // Places the figure at `pose` (terrain space) under a terrain whose
    // world matrix is `terrainWorld`.
    void place(const glm::mat4& terrainWorld, const GhostPose& pose);
};

// Imports the figure's meshes again; nullptr (reported) when one fails, or
// (unreported, the reason in `failure`) when the basic program cannot be built.
GhostNode* assembleGhost(ShaderFailure& failure);
