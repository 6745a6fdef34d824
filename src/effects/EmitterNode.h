#pragma once

#include <GL/glew.h>

#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "render/BillboardProgram.h"
#include "effects/SnowGround.h"
#include "render/ParticleProgram.h"
#include "render/ShaderConstants.h"
#include "scene/Node.h"
#include "scene/PicturePlanes.h"

// One record of the particle buffers; matches the update program's
// transform-feedback varyings "Type1", "Position1", "Velocity1", "Age1".
struct Particle {
    float type;  // 0 is the launcher
    glm::vec3 position;
    glm::vec3 velocity;
    float age;  // milliseconds
};
static_assert(sizeof(Particle) == 32, "particle records are 32 tightly packed bytes");

constexpr int MAX_PARTICLES = 20000;

// Where an emitter's flakes can be, from the update program's numbers
// (ShaderConstants.h): they live at most FLAKE_LIFETIME_SECONDS (counted from
// the column's top), take at most 20 units a second of random speed along
// each axis, and never rise. A unit more holds a flake's square.
constexpr float FLAKE_LIFETIME_SECONDS = 100.0f;
constexpr float SNOWFALL_REACH =
    SNOW_COLUMN_RADIUS +
    (FLAKE_GUST_DRIFT * 20.0f + FLAKE_DRIFT_SPREAD / 2.0f + FLAKE_FLUTTER) * FLAKE_LIFETIME_SECONDS + 1.0f;
constexpr float SNOWFALL_DEPTH =
    (FLAKE_FALL + FLAKE_FALL_SPREAD + FLAKE_GUST_FALL * 20.0f) * FLAKE_LIFETIME_SECONDS + 1.0f;

// Snowfall run entirely on the GPU: each update writes the next generation of
// particles into the other buffer through transform feedback; draw renders it
// as camera-facing squares.
class EmitterNode : public Node {
public:
    EmitterNode(float x, float y, float z);
    ~EmitterNode() override;

    // Called once per simulation step; adds the step to the time to snow.
    void update(double dt) override;
    // Called once per frame, before draw; advances the particles by the
    // simulated time since the last frame in one pass on the GPU, whatever
    // the number of steps.
    void frameUpdate() override;
    // Called in the opaque pass; draws the generation written by frameUpdate.
    void draw() override;

    // Set when the shared programs cannot be built: the node then has none,
    // and whoever made it shows why and ends the game.
    ShaderFailure failure;
    BillboardProgram* billboardProgram = nullptr;
    ParticleProgram* particleProgram = nullptr;
    double pendingSeconds = 0.0;
    bool isFirst = true;
    int sourceIndex = 0;
    int targetIndex = 1;
    GLuint particleBuffers[2] = {0, 0};
    GLuint feedbackObjects[2] = {0, 0};
    unsigned textureCount = 0;
    std::vector<GLuint> textures;
    // The ground under the snow, shared by a level's emitters; without it
    // snow ends only at the parent's zero height.
    std::shared_ptr<const SnowGround> ground;
};

// Shared by all emitters; made by the first one, deleted by
// RenderResources::release.
extern ParticleProgram* sharedParticleProgram;
extern BillboardProgram* emitterBillboardProgram;
// Made by the first emitter, deleted with the last one.
extern GLuint particleVertexArray;

// The emitters' billboard program, built on the first call and then kept. The
// level build asks for it, snow or not, so that broken billboard shaders end
// the game at the first level rather than at the first snowy one. Null, with
// the reason in `failure`, when it cannot be built (the next call tries again).
BillboardProgram* buildEmitterBillboardProgram(ShaderFailure& failure);

// Deletes the two shared programs; the next emitter builds them again. Part
// of RenderResources::release.
void releaseSharedEmitterResources();

// Whether any flake of an emitter at `emitterPosition` (world space) can
// show in `picture` (world space): a box SNOWFALL_REACH across each way from
// the emitter, from a unit above it to SNOWFALL_DEPTH below.
bool snowfallMayShow(const glm::vec3& emitterPosition, const PicturePlanes& picture);

// The "gRandomSpeed" vector from three draws of rand() in the order
// r1 = rand() % 2000, r2 = rand() % 1000, r3 = rand() % 1000.
glm::vec3 randomSpeedFromDraws(int r1, int r2, int r3);
