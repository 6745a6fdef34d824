#include "player/GhostNode.h"

#include <cstdio>

#include <glm/gtc/matrix_transform.hpp>

#include "player/GhostTrack.h"
#include "render/GeometryNode.h"

void GhostNode::place(const glm::mat4& terrainWorld, const GhostPose& pose) {
    const glm::mat4 world =
        terrainWorld * glm::translate(glm::mat4(1.0f), pose.position) * glm::mat4_cast(pose.orientation);
    placeAt(world);
}

GhostNode* assembleGhost(ShaderFailure& failure) {
    // The player's parts with their mounts (see assemblePlayer).
    struct Part {
        const char* file;
        glm::vec3 position;
    };
    static const Part parts[] = {
        {"Meshes/body.obj", {0.0f, 0.0f, 0.0f}},       {"Meshes/lwing.obj", {0.0f, 0.15f, 0.0f}},
        {"Meshes/rwing.obj", {0.0f, 0.15f, 0.0f}},     {"Meshes/leg_lf.obj", {-0.1f, -0.02f, -0.15f}},
        {"Meshes/leg_rf.obj", {0.1f, -0.02f, -0.15f}}, {"Meshes/leg_lb.obj", {-0.1f, -0.02f, 0.15f}},
        {"Meshes/leg_rb.obj", {0.1f, -0.02f, 0.15f}},
    };
    GhostNode* ghost = new GhostNode();
    for (const Part& part : parts) {
        GeometryNode* node = importGeometryNode(part.file, failure);
        if (failure) {
            // Nothing of it is news when the game ends on the reason.
            for (Node* child : ghost->children) static_cast<GeometryNode*>(child)->reportsDeletion = false;
            delete ghost;
            return nullptr;
        }
        if (!node) {
            std::printf("No ghost figure: %s could not be imported\n", part.file);
            std::fflush(stdout);
            delete ghost;
            return nullptr;
        }
        node->setPosition(part.position);
        node->alpha = GhostNode::ALPHA;
        ghost->addChild(node);
    }
    return ghost;
}
