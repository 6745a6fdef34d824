#include "player/PlayerFigure.h"

#include <cstdio>
#include <initializer_list>

#include "player/HeadlightNode.h"
#include "render/GeometryNode.h"
#include "render/LightNode.h"

PlayerNode* assembleLitPlayer(GLFWwindow* window, PlayerParts parts) {
    parts.spotlight = new HeadlightNode();
    for (Node* wing : {parts.leftWing, parts.rightWing, parts.brokenLeftWing, parts.brokenRightWing}) {
        if (GeometryNode* drawn = dynamic_cast<GeometryNode*>(wing)) drawn->alpha = 0.99f;
    }

    // Tilted 50 degrees down; with the lamps' turn they shine outward and down.
    const glm::vec3 red[2] = {glm::vec3(0.7f, 0.0f, 0.0f), glm::vec3(1.0f, 0.0f, 0.0f)};
    const glm::vec3 green[2] = {glm::vec3(0.0f, 0.7f, 0.0f), glm::vec3(0.0f, 1.0f, 0.0f)};
    const float ranges[2] = {16.0f, 4.0f};
    const float angles[2] = {31.0f, 33.0f};
    for (int k = 0; k < 2; ++k) {
        LightNode* light = LightNode::spot(glm::vec3(1.1f, 0.0f, 0.5f), red[k], ranges[k], angles[k]);
        light->setRotation(-50.0f, 0.0f, 0.0f);
        parts.leftLamp->addChild(light);
    }
    for (int k = 0; k < 2; ++k) {
        LightNode* light = LightNode::spot(glm::vec3(-1.1f, 0.0f, 0.5f), green[k], ranges[k], angles[k]);
        light->setRotation(-50.0f, 0.0f, 0.0f);
        parts.rightLamp->addChild(light);
    }
    return assemblePlayer(window, parts);
}

namespace {

// The parts made so far, when the basic program failed: the game ends with
// the reason as the last thing said, not under "Deleting Geometry" lines.
PlayerNode* dropQuietly(std::initializer_list<GeometryNode*> parts) {
    for (GeometryNode* part : parts) {
        if (!part) continue;
        part->reportsDeletion = false;
        delete part;
    }
    return nullptr;
}

}  // namespace

PlayerNode* assemblePlayer(GLFWwindow* window, ShaderFailure& failure) {
    static const char* const files[9] = {
        "Meshes/body.obj",         "Meshes/lwing.obj",  "Meshes/rwing.obj",
        "Meshes/lwing_broken.obj", "Meshes/rwing_broken.obj", "Meshes/leg_lf.obj",
        "Meshes/leg_rf.obj",       "Meshes/leg_lb.obj", "Meshes/leg_rb.obj"};
    GeometryNode* imported[9] = {};
    for (int k = 0; k < 9; ++k) {
        imported[k] = importGeometryNode(files[k], failure);
        if (failure)
            return dropQuietly({imported[0], imported[1], imported[2], imported[3], imported[4], imported[5],
                                imported[6], imported[7], imported[8]});
        if (!imported[k]) {
            std::printf("Cannot assemble the player: %s could not be imported\n", files[k]);
            std::fflush(stdout);
            for (GeometryNode* done : imported) delete done;
            return nullptr;
        }
    }
    PlayerParts parts;
    parts.body = imported[0];
    parts.leftWing = imported[1];
    parts.rightWing = imported[2];
    parts.brokenLeftWing = imported[3];
    parts.brokenRightWing = imported[4];
    parts.leftFrontLeg = imported[5];
    parts.rightFrontLeg = imported[6];
    parts.leftBackLeg = imported[7];
    parts.rightBackLeg = imported[8];
    GeometryNode* leftLamp = createCubeNode(failure);
    GeometryNode* rightLamp = failure ? nullptr : createCubeNode(failure);
    if (failure)
        return dropQuietly({imported[0], imported[1], imported[2], imported[3], imported[4], imported[5], imported[6],
                            imported[7], imported[8], leftLamp, rightLamp});
    parts.leftLamp = leftLamp;
    parts.rightLamp = rightLamp;
    return assembleLitPlayer(window, parts);
}
