#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "scene/Node.h"

struct GLFWwindow;
class GeometryNode;
class LightNode;

// The steering of one frame, read once and flown by every simulation step of
// that frame, so that a press is never lost or repeated by the step count.
struct FlightControls {
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
// flight model.
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
    GeometryNode* limbs[LIMB_COUNT] = {};
    GeometryNode*& limb(Limb which) { return limbs[static_cast<int>(which)]; }
    GeometryNode* brokenLeftWing = nullptr;
    GeometryNode* brokenRightWing = nullptr;
    std::vector<int> joysticks;
};

// The figure's parts in assembly order; a test can hand in mesh-less nodes.
struct PlayerParts {
    GeometryNode* body = nullptr;
    GeometryNode* leftWing = nullptr;
    GeometryNode* rightWing = nullptr;
    GeometryNode* brokenLeftWing = nullptr;
    GeometryNode* brokenRightWing = nullptr;
    GeometryNode* leftFrontLeg = nullptr;
    GeometryNode* rightFrontLeg = nullptr;
    GeometryNode* leftBackLeg = nullptr;
    GeometryNode* rightBackLeg = nullptr;
    Node* leftLamp = nullptr;
    Node* rightLamp = nullptr;
};

// Imports the meshes from Meshes/ and builds the figure at its start. A part
// that cannot be imported is reported with its file name and gives nullptr:
// the figure cannot fly without all of them.
PlayerNode* assemblePlayer(GLFWwindow* window);
// Builds the figure from parts that all exist (takes ownership).
PlayerNode* assemblePlayer(GLFWwindow* window, const PlayerParts& parts);

// The collision callbacks of the three volumes; they act on gameState.player.
void playerBodyHit();
void playerLeftWingHit();
void playerRightWingHit();
