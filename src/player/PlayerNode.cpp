#include "player/PlayerNode.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <string>

#include "app/Gamepad.h"
#include "app/GameState.h"
#include "app/Input.h"
#include "render/Environment.h"
#include "render/GeometryNode.h"
#include "render/LightNode.h"
#include "scene/CollisionNode.h"
#include "world/LevelLoader.h"

bool environmentKeyLatch = true;

namespace {

bool held(GLFWwindow* window, int key) { return Input::current().getKey(window, key) == GLFW_PRESS; }

// The intact or broken wing that is out of the tree belongs to nobody else.
void deleteIfDetached(Node* node) {
    if (node && !node->parent) delete node;
}

}  // namespace

PlayerNode::PlayerNode(GLFWwindow* window) : window(window) {
    spotlight = LightNode::spot(glm::vec3(0.0f, 0.0f, -1.1f), glm::vec3(0.1f), 200.0f, 20.0f);
    addChild(spotlight);
}

PlayerNode::~PlayerNode() {
    delete spotlight;
    deleteIfDetached(limbs[2]);
    deleteIfDetached(limbs[5]);
    deleteIfDetached(brokenLeftWing);
    deleteIfDetached(brokenRightWing);
}

int PlayerNode::pollEnvironmentKey(GLFWwindow* window) {
    for (int key : {GLFW_KEY_N, GLFW_KEY_F, GLFW_KEY_L}) {
        if (!held(window, key)) continue;
        if (environmentKeyLatch) return 0;
        environmentKeyLatch = true;
        return key;
    }
    environmentKeyLatch = false;
    return 0;
}

FlightControls PlayerNode::readControls() const {
    FlightControls read;
    read.noseDown = held(window, GLFW_KEY_W) || held(window, GLFW_KEY_UP);
    read.noseUp = held(window, GLFW_KEY_S) || held(window, GLFW_KEY_DOWN);
    read.rollLeft = held(window, GLFW_KEY_A) || held(window, GLFW_KEY_LEFT);
    read.rollRight = held(window, GLFW_KEY_D) || held(window, GLFW_KEY_RIGHT);
    read.flap = held(window, GLFW_KEY_SPACE);
    Input& input = Input::current();
    for (int id : joysticks) {
        if (!input.joystickPresent(id)) continue;
        Gamepad pad;
        if (Gamepad::read(input, id, pad)) {
            read.joystickRoll += pad.roll;
            read.joystickPitch += pad.pitch;
            continue;
        }
        int count = 0;
        const float* axes = input.joystickAxes(id, &count);
        // A pad without a second axis (or without any) reads the missing ones as 0.
        read.joystickRoll += axes && count > 0 ? axes[0] : 0.0f;
        read.joystickPitch += axes && count > 1 ? axes[1] : 0.0f;
    }
    return read;
}

void PlayerNode::handleEnvironmentKeys() {
    switch (pollEnvironmentKey(window)) {
        case GLFW_KEY_N:
            if (environment.lightingMode == 0) {
                std::printf("Weather set to night\n");
                environment.setLighting(1);
            } else {
                std::printf("Weather set to day\n");
                environment.setLighting(0);
            }
            spotlight->intensity = environment.lightingMode == 1 ? glm::vec3(1.0f) : glm::vec3(0.1f);
            std::fflush(stdout);
            break;
        case GLFW_KEY_F:
            environment.setFog(!environment.fogEnabled);
            std::printf("Fog toggled\n");
            std::fflush(stdout);
            break;
        case GLFW_KEY_L:
            spotlight->enabled = !spotlight->enabled;
            std::printf("Spotlight toggled\n");
            std::fflush(stdout);
            break;
        default: break;
    }
}

void PlayerNode::update(double dt) {
    const float t = float(dt);
    // The pose at the start of the step: the cache holds it until Node::update.
    const glm::mat4 world = getWorldMatrix();
    const glm::vec3 right = glm::normalize(glm::vec3(world[0]));
    const glm::vec3 up = glm::normalize(glm::vec3(world[1]));
    const glm::vec3 back = glm::normalize(glm::vec3(world[2]));
    const glm::vec3 forward = -back;

    spotlight->intensity = environment.lightingMode == 1 ? glm::vec3(1.0f) : glm::vec3(0.1f);

    float pitchInput = 40.0f * t * controls.joystickPitch;
    float rollInput = 70.0f * t * controls.joystickRoll;
    limbSwing.x += 280.0f * t * controls.joystickPitch;
    limbSwing.z += 490.0f * t * controls.joystickRoll;

    if (stopped) {
        Node::update(dt);
        return;
    }

    if (controls.noseDown) {
        pitchInput -= 40.0f * t;
        limbSwing.x += 280.0f * t;
    }
    if (controls.noseUp) {
        pitchInput += 40.0f * t;
        limbSwing.x -= 280.0f * t;
    }
    if (controls.rollLeft) {
        rollInput -= 70.0f * t;
        limbSwing.z += 490.0f * t;
    }
    if (controls.rollRight) {
        rollInput += 70.0f * t;
        limbSwing.z -= 490.0f * t;
    }
    if (controls.flap) speed += 0.7f * t * forward.y;

    if (leftWingBroken) rollInput -= 30.0f * t;
    if (rightWingBroken) rollInput += 30.0f * t;

    // A raised right side turns the figure to the left.
    const float yawInput = 40.0f * t * right.y;

    speed -= 30.0f * t * forward.y;
    speed = speed * (1.0f - t * 0.0026666667f * speed);
    if (speed < 0.0f) speed = 0.0f;

    const float overStall = speed / 30.0f - 1.0f;
    const float stallPitch = overStall > 0.0f ? 5.0f * t * overStall : -80.0f * t * (1.0f - speed / 30.0f);

    // Lift needs the wings level and the heading up the course (world +z).
    float liftFactor = right.x < 0.0f ? -right.x : 0.0f;
    if (leftWingBroken && rightWingBroken) {
        liftFactor *= 0.3f;
    } else if (leftWingBroken || rightWingBroken) {
        liftFactor *= 0.7f;
    }

    glm::vec4 local = glm::vec4(glm::vec3(world[3]), 1.0f);
    if (currentTerrain) local = currentTerrain->getInverseWorldMatrix() * local;
    const float altitude = local.y;
    if (altitude < 240.0f) {
        translate(glm::vec3(0.0f, -14.0f * t, 0.0f));
    } else {
        translate(glm::vec3(0.0f, -(altitude - 239.0f) * 14.0f * t, 0.0f));
    }
    const float boost = lowFlightBoost(altitude);

    const float distance = (speed + boost) * t;
    const float lift = 16.0f * t * liftFactor * speed / 30.0f;
    moveLocal(glm::vec3(0.0f, -lift, distance));

    rotateAbout(pitchInput + 0.5f * turnImpulse.x, right);
    rotateAbout(yawInput + 0.5f * turnImpulse.y, up);
    rotateAbout(0.5f * turnImpulse.z - rollInput, back);
    turnImpulse *= 0.5f;
    moveLocal(0.5f * knockVector);
    knockVector *= 0.5f;
    rotateAbout(stallPitch, right);

    animateLimbs(t);
    Node::update(dt);
}

void PlayerNode::animateLimbs(float t) {
    limbSwing *= 1.0f - 10.0f * t;
    for (GeometryNode* limb : limbs) {
        if (limb) limb->setRotation(0.0f, 0.0f, 0.0f);
    }
    for (int leg : {0, 1, 3, 4}) {
        if (limbs[leg]) limbs[leg]->setRotation(-limbSwing.x, limbSwing.y, limbSwing.z);
    }
    const float w = limbSwing.x < 0.0f ? limbSwing.x : 0.7f * limbSwing.x;
    if (limbs[2]) limbs[2]->setRotation(0.0f, 0.0f, 0.3f * limbSwing.z - 0.5f * w);
    if (limbs[5]) limbs[5]->setRotation(0.0f, 0.0f, 0.3f * limbSwing.z + 0.5f * w);
}

void PlayerNode::reset() {
    setPosition(startPosition);
    setRotation(0.0f, 180.0f, 0.0f);
    // Neither the last run's pose (cached) nor its limb swing may reach the
    // first step of the new run: each changes where the wings touch.
    forgetWorldMatrices();
    limbSwing = glm::vec3(0.0f);
    speed = 25.0f;
    stopped = false;

    joysticks.clear();
    for (int id = 0; id < 15; ++id) {
        if (Input::current().joystickPresent(id)) joysticks.push_back(id);
    }

    // Removing first keeps each intact wing in the list exactly once.
    leftWingBroken = false;
    if (limbs[2]) {
        removeChild(limbs[2]);
        addChild(limbs[2]);
    }
    if (brokenLeftWing) removeChild(brokenLeftWing);
    rightWingBroken = false;
    if (limbs[5]) {
        removeChild(limbs[5]);
        addChild(limbs[5]);
    }
    if (brokenRightWing) removeChild(brokenRightWing);

    knockVector = glm::vec3(0.0f);
    turnImpulse = glm::vec3(0.0f);
}

void PlayerNode::breakWing(int side) {
    if (side == 0) {
        if (leftWingBroken) return;
        leftWingBroken = true;
        if (limbs[2]) removeChild(limbs[2]);
        if (brokenLeftWing) addChild(brokenLeftWing);
        turnImpulse = glm::vec3(0.0f, -30.0f, -30.0f);
    } else if (side == 1) {
        if (rightWingBroken) return;
        rightWingBroken = true;
        if (limbs[5]) removeChild(limbs[5]);
        if (brokenRightWing) addChild(brokenRightWing);
        turnImpulse = glm::vec3(0.0f, 30.0f, 30.0f);
    } else {
        return;
    }
    knockVector = glm::normalize(glm::vec3(getWorldMatrix()[0]));
    speed = speed / 3.0f;
}

float PlayerNode::lowFlightBoost(float altitude) { return altitude < 50.0f ? 2.0f * (50.0f - altitude) : 0.0f; }

PlayerNode* assemblePlayer(GLFWwindow* window, const PlayerParts& parts) {
    PlayerNode* player = new PlayerNode(window);

    parts.body->setPosition(glm::vec3(0.0f));
    player->addChild(parts.body);

    const glm::vec3 wingMount(0.0f, 0.15f, 0.0f);
    GeometryNode* wings[4] = {parts.leftWing, parts.rightWing, parts.brokenLeftWing, parts.brokenRightWing};
    for (GeometryNode* wing : wings) {
        wing->setPosition(wingMount);
        wing->alpha = 0.99f;
    }
    player->limbs[2] = parts.leftWing;
    player->addChild(parts.leftWing);
    player->limbs[5] = parts.rightWing;
    player->addChild(parts.rightWing);
    player->brokenLeftWing = parts.brokenLeftWing;
    player->brokenRightWing = parts.brokenRightWing;

    parts.leftFrontLeg->setPosition(glm::vec3(-0.1f, -0.02f, -0.15f));
    player->limbs[1] = parts.leftFrontLeg;
    player->addChild(parts.leftFrontLeg);
    parts.rightFrontLeg->setPosition(glm::vec3(0.1f, -0.02f, -0.15f));
    player->limbs[4] = parts.rightFrontLeg;
    player->addChild(parts.rightFrontLeg);
    parts.leftBackLeg->setPosition(glm::vec3(-0.1f, -0.02f, 0.15f));
    player->limbs[0] = parts.leftBackLeg;
    player->addChild(parts.leftBackLeg);
    parts.rightBackLeg->setPosition(glm::vec3(0.1f, -0.02f, 0.15f));
    player->limbs[3] = parts.rightBackLeg;
    player->addChild(parts.rightBackLeg);

    player->startPosition = glm::vec3(0.0f, 130.0f, 50.0f);
    player->reset();

    parts.leftLamp->setPosition(glm::vec3(-1.0f, 0.0f, 0.55f));
    parts.leftLamp->scaleBy(glm::vec3(0.02f));
    parts.leftLamp->setRotation(0.0f, 80.0f, 0.0f);
    parts.leftWing->addChild(parts.leftLamp);
    parts.rightLamp->setPosition(glm::vec3(1.0f, 0.0f, 0.55f));
    parts.rightLamp->scaleBy(glm::vec3(0.02f));
    parts.rightLamp->setRotation(0.0f, -80.0f, 0.0f);
    parts.rightWing->addChild(parts.rightLamp);

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

    player->addChild(new CollisionNode(playerBodyHit));
    CollisionNode* leftVolume = new CollisionNode(playerLeftWingHit);
    leftVolume->setPosition(glm::vec3(-0.9f, 0.0f, 0.35f));
    parts.leftWing->addChild(leftVolume);
    CollisionNode* rightVolume = new CollisionNode(playerRightWingHit);
    rightVolume->setPosition(glm::vec3(0.9f, 0.0f, 0.35f));
    parts.rightWing->addChild(rightVolume);
    return player;
}

PlayerNode* assemblePlayer(GLFWwindow* window) {
    static const char* const files[9] = {
        "Meshes/body.obj",         "Meshes/lwing.obj",  "Meshes/rwing.obj",
        "Meshes/lwing_broken.obj", "Meshes/rwing_broken.obj", "Meshes/leg_lf.obj",
        "Meshes/leg_rf.obj",       "Meshes/leg_lb.obj", "Meshes/leg_rb.obj"};
    GeometryNode* imported[9] = {};
    for (int k = 0; k < 9; ++k) {
        imported[k] = importGeometryNode(files[k]);
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
    parts.leftLamp = createCubeNode();
    parts.rightLamp = createCubeNode();
    return assemblePlayer(window, parts);
}

void playerBodyHit() {
    if (gameState.player) gameState.player->stopped = true;
}

void playerLeftWingHit() {
    if (gameState.player) gameState.player->breakWing(0);
}

void playerRightWingHit() {
    if (gameState.player) gameState.player->breakWing(1);
}
