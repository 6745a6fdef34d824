#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>

#include <glm/glm.hpp>

#include "core/GameState.h"
#include "player/PlayerNode.h"
#include "scene/CameraNode.h"
#include "scene/CollisionNode.h"
#include "scene/CollisionRegistry.h"
#include "support/GameFrames.h"
#include "support/ProcessState.h"
#include "support/RecordingAudio.h"
#include "world/WorldTerrain.h"

namespace {

constexpr float STEP = 1.0f / 60.0f;

// The bare figure under a root with an untilted terrain at the origin, so
// the player's world y is its altitude.
class PlayerNodeTest : public ScriptedInputTest {
protected:
    void SetUp() override {
        root = new Node();
        terrain = new Node();
        root->addChild(terrain);
        currentTerrain = terrain;
        player = build();
        camera = new CameraNode();
        player->addChild(camera);
        root->addChild(player);
        gameState.player = player;
        root->update(0.0);
    }
    void TearDown() override {
        currentTerrain = nullptr;
        delete root;
    }

    PlayerNode* build() { return assemblePlayer(nullptr, PlayerParts::bare()); }

    // Puts the player level, heading +z, at the altitude, with fresh caches.
    void placeAt(float altitude) {
        player->startPosition = glm::vec3(0.0f, altitude, 0.0f);
        player->reset();
        root->update(0.0);
    }
    glm::vec3 position() const { return glm::vec3(player->translationMatrix[3]); }
    glm::vec3 forward() const { return -glm::normalize(glm::vec3(player->rotationMatrix[2])); }
    // One frame of one step: the frame's controls, then the step.
    void step(float dt = STEP) {
        player->controls = player->readControls();
        root->update(dt);
    }

    // Keys that change on half seconds, where a frame starts at every frame
    // rate flown below, so each step sees the same controls at any rate.
    void scriptAt(double t) {
        input.releaseAll();
        t = std::fmod(t, 10.0);
        if (t < 1.0) input.press(GLFW_KEY_W);
        if (t >= 1.0 && t < 2.5) input.press(GLFW_KEY_A);
        if (t >= 4.0 && t < 5.0) input.press(GLFW_KEY_S);
        if (t >= 6.0 && t < 7.5) input.press(GLFW_KEY_D);
        if (t >= 8.0 && t < 9.5) input.press(GLFW_KEY_SPACE);
    }

    struct Flight {
        glm::mat4 pose;
        float peakSwing = 0.0f;
        bool finite = true;
    };

    // Through the game's frame update: controls read once, then the steps
    // the frame holds.
    Flight flyScript(int frameRate, double seconds) {
        placeAt(120.0f);
        gameState.sceneRoot = root;
        gameState.raceTime = 1.0;  // under way: no reset at the first step
        finishLine = std::numeric_limits<float>::infinity();  // the script flies anywhere
        GameFrames frames;
        Flight flight;
        frames.afterEachStep = [&] {
            for (int k = 0; k < 3; ++k) {
                flight.finite = flight.finite && std::isfinite(player->limbSwing[k]);
                flight.peakSwing = std::max(flight.peakSwing, std::fabs(player->limbSwing[k]));
            }
        };
        const long frameCount = std::lround(seconds * frameRate);
        for (long frame = 0; frame < frameCount; ++frame) {
            scriptAt(double(frame) / frameRate);
            frames.run(1.0 / frameRate);
        }
        flight.pose = player->getWorldMatrix();
        return flight;
    }

    bool hasChild(Node* parent, Node* child) const {
        return std::find(parent->children.begin(), parent->children.end(), child) != parent->children.end();
    }
    long countChild(Node* parent, Node* child) const {
        return std::count(parent->children.begin(), parent->children.end(), child);
    }

    Node* root = nullptr;
    Node* terrain = nullptr;
    PlayerNode* player = nullptr;
    CameraNode* camera = nullptr;
};

void expectMatrixNear(const glm::mat4& a, const glm::mat4& b, float tolerance = 1e-5f) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_NEAR(a[c][r], b[c][r], tolerance) << "m[" << c << "][" << r << "]";
}

TEST_F(PlayerNodeTest, ResetListsThePresentJoysticks) {
    input.setJoystick(3, {0.0f, 0.0f}, {});
    input.setJoystick(7, {}, {});
    input.setJoystick(15, {0.0f}, {});  // beyond the fifteen ids looked at
    player->reset();
    EXPECT_EQ(player->joysticks, (std::vector<int>{3, 7}));
    input.unplugJoystick(3);
    player->reset();
    EXPECT_EQ(player->joysticks, (std::vector<int>{7}));
}

TEST_F(PlayerNodeTest, BreakingAWingActsOncePerRun) {
    Node* wing = player->limb(Limb::LeftWing);
    player->breakWing(WingSide::Left);
    EXPECT_TRUE(player->leftWingBroken);
    EXPECT_FLOAT_EQ(player->speed, 25.0f / 3.0f);
    EXPECT_FALSE(hasChild(player, wing));
    EXPECT_EQ(wing->parent, nullptr);
    EXPECT_TRUE(hasChild(player, player->brokenLeftWing));
    EXPECT_EQ(player->turnImpulse, glm::vec3(0.0f, -30.0f, -30.0f));
    // The knock pushes along the figure's right axis: world -x when facing +z.
    EXPECT_NEAR(player->knockVector.x, -1.0f, 1e-6f);
    EXPECT_NEAR(glm::length(player->knockVector), 1.0f, 1e-6f);

    player->turnImpulse = glm::vec3(0.0f);
    player->breakWing(WingSide::Left);
    EXPECT_FLOAT_EQ(player->speed, 25.0f / 3.0f);
    EXPECT_EQ(player->turnImpulse, glm::vec3(0.0f));
    EXPECT_EQ(countChild(player, player->brokenLeftWing), 1);

    player->breakWing(WingSide::Right);
    EXPECT_TRUE(player->rightWingBroken);
    EXPECT_FLOAT_EQ(player->speed, 25.0f / 9.0f);
    EXPECT_EQ(player->turnImpulse, glm::vec3(0.0f, 30.0f, 30.0f));
}

TEST_F(PlayerNodeTest, UnknownWingSideDoesNothing) {
    const size_t children = player->children.size();
    player->breakWing(static_cast<WingSide>(2));
    player->breakWing(static_cast<WingSide>(-1));
    EXPECT_FLOAT_EQ(player->speed, 25.0f);
    EXPECT_FALSE(player->leftWingBroken || player->rightWingBroken);
    EXPECT_EQ(player->turnImpulse, glm::vec3(0.0f));
    EXPECT_EQ(player->knockVector, glm::vec3(0.0f));
    EXPECT_EQ(player->children.size(), children);
}

TEST_F(PlayerNodeTest, ResetRestoresTheBrokenWingWithItsLampAndVolume) {
    Node* wing = player->limb(Limb::RightWing);
    player->breakWing(WingSide::Right);
    player->stopped = true;
    player->limbSwing = glm::vec3(3.0f, 0.0f, -4.0f);
    player->reset();
    EXPECT_FALSE(player->rightWingBroken);
    EXPECT_FALSE(player->stopped);
    EXPECT_FLOAT_EQ(player->speed, 25.0f);
    EXPECT_EQ(player->turnImpulse, glm::vec3(0.0f));
    EXPECT_EQ(player->knockVector, glm::vec3(0.0f));
    // Nothing of the last run reaches the next one's first step: neither the
    // limb swing nor the cached pose.
    EXPECT_EQ(player->limbSwing, glm::vec3(0.0f));
    EXPECT_EQ(glm::vec3(player->getWorldMatrix()[3]), player->startPosition);
    EXPECT_EQ(countChild(player, wing), 1);
    EXPECT_EQ(wing->parent, player);
    EXPECT_FALSE(hasChild(player, player->brokenRightWing));
    EXPECT_EQ(player->brokenRightWing->parent, nullptr);

    // The wing carries its lamp and its collision volume.
    ASSERT_EQ(wing->children.size(), 2u);
    EXPECT_NE(dynamic_cast<CollisionNode*>(wing->children.back()), nullptr);

    // Reset with intact wings keeps each exactly once.
    player->reset();
    EXPECT_EQ(countChild(player, player->limb(Limb::LeftWing)), 1);
    EXPECT_EQ(countChild(player, player->limb(Limb::RightWing)), 1);
}

TEST_F(PlayerNodeTest, VolumesReportLeftWingRightWingBodyAndBreakTheFigure) {
    // A 4 x 4 plateau at height 1000 covers the start: every point is below it.
    std::vector<float> grid(16 * 3, 0.0f);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            grid[(i * 4 + j) * 3] = 2048.0f * (j / 4.0f - 0.5f);
            grid[(i * 4 + j) * 3 + 1] = 1000.0f;
            grid[(i * 4 + j) * 3 + 2] = 2048.0f * (0.5f - i / 4.0f);
        }
    collisionRegistry.terrainNode = terrain;
    collisionRegistry.vertices = grid.data();
    collisionRegistry.columns = collisionRegistry.rows = 4;
    collisionRegistry.extentX = collisionRegistry.extentZ = 2048.0f;
    collisionRegistry.volumes.clear();
    RecordingAudio audio;

    step(0.0f);
    ASSERT_EQ(collisionRegistry.volumes.size(), 3u);
    EXPECT_EQ(collisionRegistry.volumes[0]->parent, player->limb(Limb::LeftWing));
    EXPECT_EQ(collisionRegistry.volumes[1]->parent, player->limb(Limb::RightWing));
    EXPECT_EQ(collisionRegistry.volumes[2]->parent, player);
    collisionRegistry.testCollisions();
    EXPECT_TRUE(player->leftWingBroken);
    EXPECT_TRUE(player->rightWingBroken);
    EXPECT_TRUE(player->stopped);
    // The right wing broke last.
    EXPECT_EQ(player->turnImpulse, glm::vec3(0.0f, 30.0f, 30.0f));
    EXPECT_FLOAT_EQ(player->speed, 25.0f / 9.0f);
    EXPECT_EQ(audio.events, (std::vector<std::string>{"snap", "snap", "thud"}));

    // Broken-off wings no longer register; the body still on the ground is
    // the same crash and sounds no more.
    step(0.0f);
    ASSERT_EQ(collisionRegistry.volumes.size(), 1u);
    EXPECT_EQ(collisionRegistry.volumes[0]->parent, player);
    collisionRegistry.testCollisions();
    EXPECT_EQ(audio.events.size(), 3u);

    // A new run's crash sounds again.
    player->reset();
    step(0.0f);
    collisionRegistry.testCollisions();
    EXPECT_EQ(audio.count("snap"), 4);
    EXPECT_EQ(audio.count("thud"), 2);

    // Without a player the callbacks do nothing.
    gameState.player = nullptr;
    playerBodyHit();
    playerLeftWingHit();
    playerRightWingHit();
}

TEST_F(PlayerNodeTest, LevelFlightLosesSpeedToDragAndDropsTheNose) {
    placeAt(100.0f);
    const glm::vec3 before = position();
    step();
    const float expectedSpeed = 25.0f * (1.0f - STEP * 0.0026666667f * 25.0f);
    EXPECT_FLOAT_EQ(player->speed, expectedSpeed);
    EXPECT_NEAR((25.0f - player->speed) / STEP, 25.0f * 25.0f / 375.0f, 0.01f);  // about 1.67 per second

    const float noseDown = -std::asin(forward().y) * 180.0f / 3.14159265f;
    EXPECT_NEAR(noseDown / STEP, 80.0f * (1.0f - player->speed / 30.0f), 1e-2f);
    EXPECT_NEAR(noseDown / STEP, 13.3f, 0.2f);  // about 13.3 degrees per second
    EXPECT_NEAR(forward().x, 0.0f, 1e-6f);

    const glm::vec3 moved = position() - before;
    EXPECT_NEAR(moved.y / STEP, -14.0f + 16.0f * player->speed / 30.0f, 1e-3f);
    EXPECT_NEAR(moved.z / STEP, player->speed, 1e-3f);
    EXPECT_NEAR(moved.x, 0.0f, 1e-6f);
}

TEST_F(PlayerNodeTest, BoostNearTheGroundAddsDistanceNotSpeed) {
    placeAt(100.0f);
    glm::vec3 before = position();
    step();
    const float highSpeed = player->speed;
    const float highDistance = position().z - before.z;

    placeAt(20.0f);
    before = position();
    step();
    EXPECT_FLOAT_EQ(player->speed, highSpeed);
    EXPECT_NEAR((position().z - before.z - highDistance) / STEP, 60.0f, 1e-2f);
}

TEST_F(PlayerNodeTest, SinkGrowsSteeplyAboveTheCeiling) {
    placeAt(250.0f);
    const glm::vec3 before = position();
    step();
    const float lift = 16.0f * player->speed / 30.0f;
    EXPECT_NEAR((position().y - before.y) / STEP, -154.0f + lift, 1e-2f);

    placeAt(239.0f);
    const float at239 = position().y;
    step();
    EXPECT_NEAR((position().y - at239) / STEP, -14.0f + 16.0f * player->speed / 30.0f, 1e-2f);
}

TEST_F(PlayerNodeTest, TheAltitudeIsMeasuredInTerrainSpace) {
    // Lift the terrain by 100: a figure at world y 150 flies at altitude 50,
    // one at world y 120 at altitude 20 and gets the boost.
    terrain->setPosition(glm::vec3(0.0f, 100.0f, 0.0f));
    placeAt(150.0f);
    glm::vec3 before = position();
    step();
    const float plain = position().z - before.z;
    placeAt(120.0f);
    before = position();
    step();
    EXPECT_NEAR((position().z - before.z - plain) / STEP, 60.0f, 1e-2f);
}

TEST_F(PlayerNodeTest, OppositeKeysCancelAndLeaveTheLimbsAlone) {
    placeAt(100.0f);
    step();
    const glm::mat4 plain = player->rotationMatrix;

    placeAt(100.0f);
    input.press(GLFW_KEY_W);
    input.press(GLFW_KEY_S);
    input.press(GLFW_KEY_LEFT);
    input.press(GLFW_KEY_D);
    step();
    expectMatrixNear(player->rotationMatrix, plain);
    EXPECT_EQ(player->limbSwing, glm::vec3(0.0f));
}

TEST_F(PlayerNodeTest, KeysPitchAndRollTheFigure) {
    placeAt(100.0f);
    step();
    const float plainNose = forward().y;

    placeAt(100.0f);
    input.press(GLFW_KEY_UP);
    step();
    EXPECT_LT(forward().y, plainNose);  // nose down
    EXPECT_NEAR(player->limbSwing.x, 280.0f * STEP * (1.0f - 10.0f * STEP), 1e-4f);
    input.releaseAll();

    placeAt(100.0f);
    input.press(GLFW_KEY_S);
    step();
    EXPECT_GT(forward().y, plainNose);
    input.releaseAll();

    // Rolling right lowers the right side.
    placeAt(100.0f);
    player->limbSwing = glm::vec3(0.0f);
    input.press(GLFW_KEY_D);
    step();
    EXPECT_LT(player->rotationMatrix[0].y, 0.0f);
    EXPECT_NEAR(player->limbSwing.z, -490.0f * STEP * (1.0f - 10.0f * STEP), 1e-4f);
}

TEST_F(PlayerNodeTest, JoystickTurnsLikeTheKeysButSwingsTheLimbsTheOtherWay) {
    placeAt(100.0f);
    player->limbSwing = glm::vec3(0.0f);
    input.press(GLFW_KEY_S);
    input.press(GLFW_KEY_D);
    step();
    const glm::mat4 byKeys = player->rotationMatrix;
    const glm::vec3 keySwing = player->limbSwing;
    input.releaseAll();

    input.setJoystick(0, {1.0f, 1.0f}, {});
    placeAt(100.0f);
    player->limbSwing = glm::vec3(0.0f);
    step();
    expectMatrixNear(player->rotationMatrix, byKeys);
    EXPECT_NEAR(player->limbSwing.x, -keySwing.x, 1e-5f);
    EXPECT_NEAR(player->limbSwing.z, -keySwing.z, 1e-5f);
    EXPECT_GT(player->limbSwing.x, 0.0f);
}

TEST_F(PlayerNodeTest, MissingJoystickAxesReadAsZero) {
    input.setJoystick(1, {0.5f}, {});  // roll axis only
    input.setJoystick(2, {}, {});      // no axes at all
    placeAt(100.0f);
    ASSERT_EQ(player->joysticks, (std::vector<int>{1, 2}));
    player->limbSwing = glm::vec3(0.0f);
    step();
    EXPECT_EQ(player->limbSwing.x, 0.0f);
    EXPECT_NEAR(player->limbSwing.z, 490.0f * STEP * 0.5f * (1.0f - 10.0f * STEP), 1e-4f);

    // A pad unplugged after the reset is skipped.
    input.unplugJoystick(1);
    player->limbSwing = glm::vec3(0.0f);
    step();
    EXPECT_EQ(player->limbSwing, glm::vec3(0.0f));
}

TEST_F(PlayerNodeTest, LimbSwingDecayFlipsSignAboveATenthOfASecond) {
    player->limbSwing = glm::vec3(10.0f, 0.0f, 20.0f);
    player->animateLimbs(0.15f);
    EXPECT_FLOAT_EQ(player->limbSwing.x, -5.0f);
    EXPECT_FLOAT_EQ(player->limbSwing.z, -10.0f);
    for (Limb leg : {Limb::LeftBackLeg, Limb::LeftFrontLeg, Limb::RightBackLeg, Limb::RightFrontLeg})
        EXPECT_EQ(player->limb(leg)->rotationAngles, glm::vec3(5.0f, 0.0f, -10.0f));
    // Negative pitch swing flaps the wings at full strength.
    EXPECT_FLOAT_EQ(player->limb(Limb::LeftWing)->rotationAngles.z, 0.3f * -10.0f - 0.5f * -5.0f);
    EXPECT_FLOAT_EQ(player->limb(Limb::RightWing)->rotationAngles.z, 0.3f * -10.0f + 0.5f * -5.0f);

    player->animateLimbs(0.15f);
    EXPECT_FLOAT_EQ(player->limbSwing.x, 2.5f);
    EXPECT_FLOAT_EQ(player->limbSwing.z, 5.0f);
    // Positive pitch swing is damped by 0.7.
    EXPECT_FLOAT_EQ(player->limb(Limb::LeftWing)->rotationAngles.z, 0.3f * 5.0f - 0.5f * 0.7f * 2.5f);

    // Exactly a tenth of a second stops the swing.
    player->animateLimbs(0.1f);
    EXPECT_NEAR(glm::length(player->limbSwing), 0.0f, 1e-6f);
}

TEST_F(PlayerNodeTest, BothWingsBrokenCancelTheRollAndKeepALittleLift) {
    placeAt(100.0f);
    const glm::vec3 before = position();
    step();
    const glm::mat4 intactTurn = player->rotationMatrix;
    const float intactRise = position().y - before.y;

    // The rise of one step at speed 25 from 100 up, once `wings` broke and
    // their knock is spent.
    auto riseWithBroken = [&](std::initializer_list<WingSide> wings) {
        placeAt(100.0f);
        for (WingSide wing : wings) player->breakWing(wing);
        player->speed = 25.0f;
        player->turnImpulse = glm::vec3(0.0f);
        player->knockVector = glm::vec3(0.0f);
        const glm::vec3 from = position();
        step();
        return position().y - from.y;
    };
    const float bothBrokenRise = riseWithBroken({WingSide::Left, WingSide::Right});
    expectMatrixNear(player->rotationMatrix, intactTurn);
    const float lift = 16.0f * STEP * player->speed / 30.0f;
    EXPECT_NEAR(intactRise - bothBrokenRise, 0.7f * lift, 1e-4f);

    // One broken wing rolls the figure towards that side and keeps 0.7 of the lift.
    const float oneBrokenRise = riseWithBroken({WingSide::Left});
    EXPECT_GT(player->rotationMatrix[0].y, 0.0f);  // the right side rises: rolling left
    EXPECT_NEAR(intactRise - oneBrokenRise, 0.3f * lift, 1e-4f);
}

TEST_F(PlayerNodeTest, TheWingBreakImpulseIsPaidOutHalfPerFrame) {
    placeAt(100.0f);
    player->breakWing(WingSide::Right);
    player->speed = 25.0f;
    step();
    EXPECT_EQ(player->turnImpulse, glm::vec3(0.0f, 15.0f, 15.0f));
    EXPECT_NEAR(player->knockVector.x, -0.5f, 1e-6f);
    step();
    EXPECT_EQ(player->turnImpulse, glm::vec3(0.0f, 7.5f, 7.5f));
}

TEST_F(PlayerNodeTest, AStoppedFigureHoldsStillButStillReadsJoysticks) {
    input.setJoystick(0, {0.0f, 1.0f}, {});
    placeAt(100.0f);
    player->limbSwing = glm::vec3(0.0f);
    player->stopped = true;
    const glm::mat4 pose = player->translationMatrix * player->rotationMatrix;
    input.press(GLFW_KEY_W);
    step();
    expectMatrixNear(player->translationMatrix * player->rotationMatrix, pose, 0.0f);
    EXPECT_FLOAT_EQ(player->speed, 25.0f);
    // The axis adds to the swing, with no decay while stopped.
    EXPECT_FLOAT_EQ(player->limbSwing.x, 280.0f * STEP);
    step();
    EXPECT_FLOAT_EQ(player->limbSwing.x, 2.0f * 280.0f * STEP);
}

}  // namespace

TEST_F(PlayerNodeTest, AScriptedFlightEndsInThePoseAtAnyFrameRate) {
    const Flight at60 = flyScript(60, 20.0);
    for (int frameRate : {4, 10}) {
        const Flight other = flyScript(frameRate, 20.0);
        SCOPED_TRACE(frameRate);
        expectMatrixNear(other.pose, at60.pose, 0.01f);
        EXPECT_FLOAT_EQ(other.peakSwing, at60.peakSwing);
    }
    // The script really flew: down, round and up again.
    EXPECT_GT(glm::length(glm::vec3(at60.pose[3]) - glm::vec3(0.0f, 120.0f, 0.0f)), 300.0f);
    EXPECT_GT(at60.peakSwing, 10.0f);
}

TEST_F(PlayerNodeTest, LimbSwingStaysBelowItsPeakAtFourFramesASecond) {
    const float peakAt60 = flyScript(60, 20.0).peakSwing;
    const Flight tenMinutes = flyScript(4, 600.0);
    EXPECT_TRUE(tenMinutes.finite);
    EXPECT_LE(tenMinutes.peakSwing, peakAt60 + 1e-3f);
}
