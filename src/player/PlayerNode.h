#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "scene/Node.h"

struct GLFWwindow;
class LightNode;

// The steering of one frame, read once and flown by every simulation step of
// that frame, so that a press is never lost or repeated by the step count.
struct FlightControls {
    // The keys of KeyBindings; by default:
    bool noseDown = false;   // W or Up
    bool noseUp = false;     // S or Down
    bool rollLeft = false;   // A or Left
    bool rollRight = false;  // D or Right
    bool flap = false;       // Space
    // Summed over the listed joysticks: axis 0 rolls (positive = right),
    // axis 1 pitches (positive = nose up); a known gamepad's left stick
    // counts instead of its raw axes.
    float joystickRoll = 0.0f;
    float joystickPitch = 0.0f;
};

// The figure's moving parts, as indices into PlayerNode::limbs.
enum class Limb : int { LeftBackLeg, LeftFrontLeg, LeftWing, RightBackLeg, RightFrontLeg, RightWing };
constexpr int LIMB_COUNT = 6;

enum class WingSide : int { Left = 0, Right = 1 };

// The flying figure: body, two wings (with spare broken ones), four legs,
// wing lamps, a headlight and three collision points. Its update is the
// flight model, which needs no GL: the parts that draw and shine are handed
// in by the GL side (PlayerFigure.h) or left bare.
class PlayerNode : public Node {
public:
    explicit PlayerNode(GLFWwindow* window);
    // Deletes the headlight and the spare wing nodes that are out of the tree.
    ~PlayerNode() override;

    // Called once per simulation step before the collision test: flies with
    // `controls`, animates the limbs, then updates the children.
    void update(double dt) override;
    // One step of the flight model with the given controls.
    void fly(const FlightControls& frame, double dt);

    // The figure's world pose in `terrain`'s own space (the level's markers,
    // ghosts and sounds live there); the world pose without a terrain.
    glm::mat4 poseIn(Node* terrain);

    // Reads the keys and joysticks into a FlightControls; once per frame.
    FlightControls readControls() const;

    // Back to the level's start: position, heading, speed, flags, both wings.
    void reset();
    // A wing breaks at most once per run.
    void breakWing(WingSide side);
    void animateLimbs(float t);

    // The speed added below altitude 50 (terrain space): 100 units/s at 0.
    static float lowFlightBoost(float altitude);

    FlightControls controls;
    bool stopped = false;
    bool leftWingBroken = false;
    bool rightWingBroken = false;
    float speed = 25.0f;
    glm::vec3 turnImpulse{0.0f};
    glm::vec3 knockVector{0.0f};
    glm::vec3 startPosition{0.0f};
    LightNode* spotlight = nullptr;
    GLFWwindow* window;
    glm::vec3 limbSwing{0.0f};
    Node* limbs[LIMB_COUNT] = {};
    Node*& limb(Limb which) { return limbs[static_cast<int>(which)]; }
    Node* brokenLeftWing = nullptr;
    Node* brokenRightWing = nullptr;
    std::vector<int> joysticks;
};

// The figure's parts in assembly order; bare nodes fly the same as meshes.
// The headlight (optional) becomes the figure's first child.
struct PlayerParts {
    LightNode* spotlight = nullptr;
    Node* body = nullptr;
    Node* leftWing = nullptr;
    Node* rightWing = nullptr;
    Node* brokenLeftWing = nullptr;
    Node* brokenRightWing = nullptr;
    Node* leftFrontLeg = nullptr;
    Node* rightFrontLeg = nullptr;
    Node* leftBackLeg = nullptr;
    Node* rightBackLeg = nullptr;
    Node* leftLamp = nullptr;
    Node* rightLamp = nullptr;

    // Every part a plain node, no headlight: the figure for a flight without GL.
    static PlayerParts bare();
};

// Builds the figure at its start from parts that all exist (takes
// ownership): limbs, lamps and the three collision points.
PlayerNode* assemblePlayer(GLFWwindow* window, const PlayerParts& parts);

// The collision callbacks of the three volumes; they act on gameState.player.
void playerBodyHit();
void playerLeftWingHit();
void playerRightWingHit();
