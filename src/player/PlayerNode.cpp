#include "player/PlayerNode.h"

#include <GLFW/glfw3.h>

#include "core/Audio.h"
#include "core/Gamepad.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "player/FlightConstants.h"
#include "render/LightNode.h"
#include "scene/CollisionNode.h"
#include "world/WorldTerrain.h"

using namespace flight;


namespace {

// A held steering key turns by `rate` in `direction` (+1 or -1) and swings
// the limbs the other way.
void steer(bool held, float direction, float rate, float swingRate, float t, float& input, float& swing) {
    if (!held) return;
    input += direction * rate * t;
    swing -= direction * swingRate * t;
}

// The intact or broken wing that is out of the tree belongs to nobody else.
void deleteIfDetached(Node* node) {
    if (node && !node->parent) delete node;
}

}  // namespace

PlayerNode::PlayerNode(GLFWwindow* window) : window(window) {}

PlayerNode::~PlayerNode() {
    delete spotlight;
    deleteIfDetached(limb(Limb::LeftWing));
    deleteIfDetached(limb(Limb::RightWing));
    deleteIfDetached(brokenLeftWing);
    deleteIfDetached(brokenRightWing);
}

FlightControls PlayerNode::readControls() const {
    FlightControls read;
    KeyBindings& keys = gameState.keyBindings;
    read.noseDown = keys.held(window, KeyBindings::NOSE_DOWN);
    read.noseUp = keys.held(window, KeyBindings::NOSE_UP);
    read.rollLeft = keys.held(window, KeyBindings::ROLL_LEFT);
    read.rollRight = keys.held(window, KeyBindings::ROLL_RIGHT);
    read.flap = keys.held(window, KeyBindings::FLAP);
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

glm::mat4 PlayerNode::poseIn(Node* terrain) {
    const glm::mat4 world = getWorldMatrix();
    return terrain ? terrain->getInverseWorldMatrix() * world : world;
}

float PlayerNode::lowFlightBoost(float altitude) {
    return altitude < BOOST_ALTITUDE ? BOOST_GAIN * (BOOST_ALTITUDE - altitude) : 0.0f;
}

void PlayerNode::update(double dt) { fly(controls, dt); }

void PlayerNode::fly(const FlightControls& frame, double dt) {
    const float t = float(dt);
    // The pose at the start of the step: the cache holds it until Node::update.
    const glm::mat4 world = getWorldMatrix();
    const glm::vec3 right = glm::normalize(glm::vec3(world[0]));
    const glm::vec3 up = glm::normalize(glm::vec3(world[1]));
    const glm::vec3 back = glm::normalize(glm::vec3(world[2]));
    const glm::vec3 forward = -back;

    float pitchInput = PITCH_RATE * t * frame.joystickPitch;
    float rollInput = ROLL_RATE * t * frame.joystickRoll;
    limbSwing.x += PITCH_SWING_RATE * t * frame.joystickPitch;
    limbSwing.z += ROLL_SWING_RATE * t * frame.joystickRoll;

    if (stopped) {
        Node::update(dt);
        return;
    }

    steer(frame.noseDown, -1.0f, PITCH_RATE, PITCH_SWING_RATE, t, pitchInput, limbSwing.x);
    steer(frame.noseUp, 1.0f, PITCH_RATE, PITCH_SWING_RATE, t, pitchInput, limbSwing.x);
    steer(frame.rollLeft, -1.0f, ROLL_RATE, ROLL_SWING_RATE, t, rollInput, limbSwing.z);
    steer(frame.rollRight, 1.0f, ROLL_RATE, ROLL_SWING_RATE, t, rollInput, limbSwing.z);
    if (frame.flap) speed += FLAP_GAIN * t * forward.y;

    if (leftWingBroken) rollInput -= BROKEN_WING_ROLL * t;
    if (rightWingBroken) rollInput += BROKEN_WING_ROLL * t;

    // A raised right side turns the figure to the left.
    const float yawInput = YAW_FROM_BANK * t * right.y;

    speed -= GRAVITY * t * forward.y;
    speed = speed * (1.0f - t * DRAG * speed);
    if (speed < 0.0f) speed = 0.0f;

    const float overStall = speed / STALL_SPEED - 1.0f;
    const float stallPitch =
        overStall > 0.0f ? NOSE_UP_RATE * t * overStall : -NOSE_DOWN_RATE * t * (1.0f - speed / STALL_SPEED);

    // Lift needs the wings level and the heading up the course (world +z).
    float liftFactor = right.x < 0.0f ? -right.x : 0.0f;
    if (leftWingBroken && rightWingBroken) {
        liftFactor *= NO_WING_LIFT;
    } else if (leftWingBroken || rightWingBroken) {
        liftFactor *= ONE_WING_LIFT;
    }

    glm::vec4 local = glm::vec4(glm::vec3(world[3]), 1.0f);
    if (currentTerrain) local = currentTerrain->getInverseWorldMatrix() * local;
    const float altitude = local.y;
    if (altitude < CEILING) {
        translate(glm::vec3(0.0f, -SINK * t, 0.0f));
    } else {
        translate(glm::vec3(0.0f, -(altitude - CEILING_SINK_BASE) * SINK * t, 0.0f));
    }
    const float boost = lowFlightBoost(altitude);

    const float distance = (speed + boost) * t;
    const float lift = LIFT * t * liftFactor * speed / STALL_SPEED;
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
    limbSwing *= 1.0f - SWING_DECAY * t;
    for (Node* limb : limbs) {
        if (limb) limb->setRotation(0.0f, 0.0f, 0.0f);
    }
    for (Limb leg : {Limb::LeftBackLeg, Limb::LeftFrontLeg, Limb::RightBackLeg, Limb::RightFrontLeg}) {
        if (limb(leg)) limb(leg)->setRotation(-limbSwing.x, limbSwing.y, limbSwing.z);
    }
    const float w = limbSwing.x < 0.0f ? limbSwing.x : 0.7f * limbSwing.x;
    if (limb(Limb::LeftWing)) limb(Limb::LeftWing)->setRotation(0.0f, 0.0f, 0.3f * limbSwing.z - 0.5f * w);
    if (limb(Limb::RightWing)) limb(Limb::RightWing)->setRotation(0.0f, 0.0f, 0.3f * limbSwing.z + 0.5f * w);
}

void PlayerNode::reset() {
    setPosition(startPosition);
    setRotation(0.0f, 180.0f, 0.0f);
    // Neither the last run's pose (cached) nor its limb swing may reach the
    // first step of the new run: each changes where the wings touch.
    forgetWorldMatrices();
    limbSwing = glm::vec3(0.0f);
    speed = START_SPEED;
    stopped = false;

    joysticks.clear();
    for (int id = 0; id < 15; ++id) {
        if (Input::current().joystickPresent(id)) joysticks.push_back(id);
    }

    // Removing first keeps each intact wing in the list exactly once.
    leftWingBroken = false;
    rightWingBroken = false;
    for (Node* wing : {limb(Limb::LeftWing), limb(Limb::RightWing)}) {
        if (!wing) continue;
        removeChild(wing);
        addChild(wing);
    }
    if (brokenLeftWing) removeChild(brokenLeftWing);
    if (brokenRightWing) removeChild(brokenRightWing);

    knockVector = glm::vec3(0.0f);
    turnImpulse = glm::vec3(0.0f);
}

void PlayerNode::breakWing(WingSide side) {
    if (side != WingSide::Left && side != WingSide::Right) return;
    const bool left = side == WingSide::Left;
    bool& broken = left ? leftWingBroken : rightWingBroken;
    if (broken) return;
    broken = true;
    if (Node* intact = limb(left ? Limb::LeftWing : Limb::RightWing)) removeChild(intact);
    if (Node* snapped = left ? brokenLeftWing : brokenRightWing) addChild(snapped);
    // The figure yaws and rolls towards the broken side.
    const float away = left ? -30.0f : 30.0f;
    turnImpulse = glm::vec3(0.0f, away, away);
    knockVector = glm::normalize(glm::vec3(getWorldMatrix()[0]));
    speed = speed / 3.0f;
    Audio::current().wingSnapped();
}

PlayerParts PlayerParts::bare() {
    PlayerParts parts;
    for (Node** part : {&parts.body, &parts.leftWing, &parts.rightWing, &parts.brokenLeftWing, &parts.brokenRightWing,
                        &parts.leftFrontLeg, &parts.rightFrontLeg, &parts.leftBackLeg, &parts.rightBackLeg,
                        &parts.leftLamp, &parts.rightLamp})
        *part = new Node();
    return parts;
}

PlayerNode* assemblePlayer(GLFWwindow* window, const PlayerParts& parts) {
    PlayerNode* player = new PlayerNode(window);
    if (parts.spotlight) {
        player->spotlight = parts.spotlight;
        player->addChild(parts.spotlight);
    }

    parts.body->setPosition(glm::vec3(0.0f));
    player->addChild(parts.body);

    const glm::vec3 wingMount(0.0f, 0.15f, 0.0f);
    for (Node* wing : {parts.leftWing, parts.rightWing, parts.brokenLeftWing, parts.brokenRightWing})
        wing->setPosition(wingMount);
    player->limb(Limb::LeftWing) = parts.leftWing;
    player->addChild(parts.leftWing);
    player->limb(Limb::RightWing) = parts.rightWing;
    player->addChild(parts.rightWing);
    player->brokenLeftWing = parts.brokenLeftWing;
    player->brokenRightWing = parts.brokenRightWing;

    parts.leftFrontLeg->setPosition(glm::vec3(-0.1f, -0.02f, -0.15f));
    player->limb(Limb::LeftFrontLeg) = parts.leftFrontLeg;
    player->addChild(parts.leftFrontLeg);
    parts.rightFrontLeg->setPosition(glm::vec3(0.1f, -0.02f, -0.15f));
    player->limb(Limb::RightFrontLeg) = parts.rightFrontLeg;
    player->addChild(parts.rightFrontLeg);
    parts.leftBackLeg->setPosition(glm::vec3(-0.1f, -0.02f, 0.15f));
    player->limb(Limb::LeftBackLeg) = parts.leftBackLeg;
    player->addChild(parts.leftBackLeg);
    parts.rightBackLeg->setPosition(glm::vec3(0.1f, -0.02f, 0.15f));
    player->limb(Limb::RightBackLeg) = parts.rightBackLeg;
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

    player->addChild(new CollisionNode(playerBodyHit));
    CollisionNode* leftVolume = new CollisionNode(playerLeftWingHit);
    leftVolume->setPosition(glm::vec3(-0.9f, 0.0f, 0.35f));
    parts.leftWing->addChild(leftVolume);
    CollisionNode* rightVolume = new CollisionNode(playerRightWingHit);
    rightVolume->setPosition(glm::vec3(0.9f, 0.0f, 0.35f));
    parts.rightWing->addChild(rightVolume);
    return player;
}

void playerBodyHit() {
    if (!gameState.player) return;
    // The body rests on the ground for many frames; the crash sounds once.
    if (!gameState.player->stopped) Audio::current().bodyHit();
    gameState.player->stopped = true;
}

void playerLeftWingHit() {
    if (gameState.player) gameState.player->breakWing(WingSide::Left);
}

void playerRightWingHit() {
    if (gameState.player) gameState.player->breakWing(WingSide::Right);
}
