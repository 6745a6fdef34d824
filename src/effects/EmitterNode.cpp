#include "effects/EmitterNode.h"

#include <cstddef>
#include <cstdlib>

#include <glm/gtc/type_ptr.hpp>

#include "core/RenderSettings.h"
#include "render/Mesh.h"
#include "render/RenderResources.h"
#include "render/SamplingState.h"
#include "scene/CameraNode.h"

ParticleProgram* sharedParticleProgram = nullptr;
BillboardProgram* emitterBillboardProgram = nullptr;
GLuint particleVertexArray = 0;

namespace {

// Every emitter updates and draws through the one vertex array; it goes with
// the last emitter, so deleting one emitter never pulls it from the others.
int liveEmitters = 0;

const GLsizei particleStride = sizeof(Particle);
// Far above the units the meshes and the texts use.
const GLint GROUND_TEXTURE_UNIT = 7;
const void* offsetOf(std::size_t bytes) { return reinterpret_cast<const void*>(bytes); }

// The holders go, but their names belong to a context that is gone.
void forgetSharedEmitterResources() {
    if (sharedParticleProgram) sharedParticleProgram->program = 0;
    if (emitterBillboardProgram) emitterBillboardProgram->program = 0;
    releaseSharedEmitterResources();
    particleVertexArray = 0;
}

[[maybe_unused]] const bool registered = RenderResources::add(
    [] {
        releaseSharedEmitterResources();
        if (particleVertexArray != 0) glDeleteVertexArrays(1, &particleVertexArray);
        particleVertexArray = 0;
    },
    forgetSharedEmitterResources);

}  // namespace

bool snowfallMayShow(const glm::vec3& emitterPosition, const PicturePlanes& picture) {
    const glm::vec3 halfSize(SNOWFALL_REACH, 0.5f * (SNOWFALL_DEPTH + 1.0f), SNOWFALL_REACH);
    const glm::vec3 center = emitterPosition + glm::vec3(0.0f, 1.0f - halfSize.y, 0.0f);
    return !picture.excludesBox(center, halfSize);
}

glm::vec3 randomSpeedFromDraws(int r1, int r2, int r3) {
    return glm::vec3((float(r3) - 800.0f) / 1000.0f * 20.0f, (float(r2) - 1000.0f) / 1000.0f * 20.0f,
                     (float(r1) - 1000.0f) / 1000.0f * 20.0f);
}

EmitterNode::EmitterNode(float x, float y, float z) {
    setPosition(glm::vec3(x, y, z));
    textureCount = 0;
    sourceIndex = 0;
    targetIndex = 1;
    isFirst = true;

    if (particleVertexArray == 0) glGenVertexArrays(1, &particleVertexArray);
    ++liveEmitters;
    glBindVertexArray(particleVertexArray);

    std::vector<Particle> particles(MAX_PARTICLES, Particle{0.0f, glm::vec3(0.0f), glm::vec3(0.0f), 0.0f});
    particles[0].type = 0.0f;
    particles[0].position = glm::vec3(x, y, z);
    particles[0].velocity = glm::vec3(0.0f, -9.81f, 0.0f);
    particles[0].age = 0.0f;

    glGenTransformFeedbacks(2, feedbackObjects);
    glGenBuffers(2, particleBuffers);
    for (int i = 0; i < 2; ++i) {
        glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, feedbackObjects[i]);
        glBindBuffer(GL_ARRAY_BUFFER, particleBuffers[i]);
        glBufferData(GL_ARRAY_BUFFER, sizeof(Particle) * particles.size(), particles.data(), GL_DYNAMIC_DRAW);
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, particleBuffers[i]);
    }

    if (!sharedParticleProgram) sharedParticleProgram = new ParticleProgram();
    if (sharedParticleProgram->failure) {
        failure = sharedParticleProgram->failure;
        delete sharedParticleProgram;
        sharedParticleProgram = nullptr;
        return;
    }
    particleProgram = sharedParticleProgram;
    glUseProgram(particleProgram->program);
    glUniform1f(particleProgram->simpleParticleLifetime, FLAKE_LIFETIME_SECONDS * 1000.0f);
    glUniform3f(particleProgram->emitterPosition, x, y, z);
    glUniform3f(particleProgram->randomSpeed, 0.0f, 0.0f, 0.0f);

    billboardProgram = buildEmitterBillboardProgram(failure);
    if (!billboardProgram) return;
    glUseProgram(billboardProgram->program);
    glUniform1f(billboardProgram->billboardSize, 0.7f);
}

EmitterNode::~EmitterNode() {
    glDeleteBuffers(2, particleBuffers);
    glDeleteTransformFeedbacks(2, feedbackObjects);
    if (--liveEmitters <= 0) {
        liveEmitters = 0;
        if (particleVertexArray != 0) glDeleteVertexArrays(1, &particleVertexArray);
        particleVertexArray = 0;
    }
    textures.clear();
}

void EmitterNode::update(double dt) {
    Node::update(dt);
    pendingSeconds += dt;
}

void EmitterNode::frameUpdate() {
    Node::frameUpdate();
    const double dt = pendingSeconds;
    pendingSeconds = 0.0;

    glUseProgram(particleProgram->program);
    glUniform1f(particleProgram->deltaTimeMillis, static_cast<float>(dt * 1000.0));
    glm::vec3 worldPosition(getWorldMatrix()[3]);
    glUniform3fv(particleProgram->emitterPosition, 1, glm::value_ptr(worldPosition));
    // The parent is the terrain, whose zero height no ground lies below; the
    // level tilts it, so that height is a plane, not a level in world y. With
    // the ground's grid the update also knows the ground under each flake.
    const glm::mat4 toParent = parent ? parent->getInverseWorldMatrix() : glm::mat4(1.0f);
    const bool groundKnown = ground && ground->texture() != 0;
    const glm::mat4 toGround = groundKnown ? ground->fromTerrain() * toParent : toParent;
    glUniformMatrix4fv(particleProgram->toGround, 1, GL_FALSE, glm::value_ptr(toGround));
    glUniform1i(particleProgram->groundKnown, groundKnown ? 1 : 0);
    glUniform1i(particleProgram->groundFloor, GROUND_TEXTURE_UNIT);
    if (groundKnown) {
        glActiveTexture(GL_TEXTURE0 + GROUND_TEXTURE_UNIT);
        glBindTexture(GL_TEXTURE_2D, ground->texture());
        glActiveTexture(GL_TEXTURE0);
    }

    // Never seeded: every run sees the same snowfall.
    int r1 = std::rand() % 2000;
    int r2 = std::rand() % 1000;
    int r3 = std::rand() % 1000;
    glm::vec3 randomSpeed = randomSpeedFromDraws(r1, r2, r3);
    glUniform3fv(particleProgram->randomSpeed, 1, glm::value_ptr(randomSpeed));

    glBindVertexArray(particleVertexArray);
    glEnable(GL_RASTERIZER_DISCARD);
    glBindBuffer(GL_ARRAY_BUFFER, particleBuffers[sourceIndex]);
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, feedbackObjects[targetIndex]);

    for (GLuint i = 0; i < 4; ++i) glEnableVertexAttribArray(i);
    glVertexAttribPointer(0, 1, GL_FLOAT, GL_FALSE, particleStride, offsetOf(offsetof(Particle, type)));
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, particleStride, offsetOf(offsetof(Particle, position)));
    glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, particleStride, offsetOf(offsetof(Particle, velocity)));
    glVertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, particleStride, offsetOf(offsetof(Particle, age)));

    glBeginTransformFeedback(GL_POINTS);
    if (isFirst) {
        // Only the launcher record is alive yet.
        glDrawArrays(GL_POINTS, 0, 1);
        isFirst = false;
    } else {
        glDrawTransformFeedback(GL_POINTS, feedbackObjects[sourceIndex]);
    }
    glEndTransformFeedback();

    for (GLuint i = 0; i < 4; ++i) glDisableVertexAttribArray(i);
    glDisable(GL_RASTERIZER_DISCARD);
    glBindVertexArray(0);
    // What was just written is the snow to draw and the next update's input:
    // however often the frame is drawn (a paused game, a picture taken twice),
    // it shows the same flakes.
    sourceIndex = targetIndex;
    targetIndex = 1 - targetIndex;
}

void EmitterNode::draw() {
    for (Node* child : children) child->draw();
    // Nothing to look through, or no flakes made yet.
    if (!activeCamera || isFirst) return;

    ensureFrustum();
    const glm::mat4& viewProjection = frameViewProjection;
    // A snowfall wholly out of the picture would only keep the billboard
    // program busy dropping every flake; its update still runs.
    if (RenderSettings::instance().frustumCulling && !snowfallMayShow(glm::vec3(getWorldMatrix()[3]), framePicture))
        return;

    glUseProgram(billboardProgram->program);
    glBindVertexArray(particleVertexArray);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);

    glm::vec3 cameraPosition(activeCamera->getWorldMatrix()[3]);
    glUniform3fv(billboardProgram->cameraPosition, 1, glm::value_ptr(cameraPosition));
    glUniformMatrix4fv(billboardProgram->viewProjection, 1, GL_FALSE, glm::value_ptr(viewProjection));
    glUniform1i(billboardProgram->useUniformPosition, 0);
    // Flakes under half a pixel across are left out: 1 pixel is 2 / height
    // in normalised device units.
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glUniform1f(billboardProgram->smallestSquare, viewport[3] > 0 ? 1.0f / float(viewport[3]) : 0.0f);

    if (textureCount > 0 && !textures.empty()) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
        applySamplingState();
        glUniform1i(billboardProgram->textureSampler, 0);
    }

    glBindBuffer(GL_ARRAY_BUFFER, particleBuffers[sourceIndex]);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, particleStride, offsetOf(offsetof(Particle, position)));
    glDrawTransformFeedback(GL_POINTS, feedbackObjects[sourceIndex]);
    glDisableVertexAttribArray(0);
    glBindVertexArray(0);
}

BillboardProgram* buildEmitterBillboardProgram(ShaderFailure& failure) {
    if (!emitterBillboardProgram) emitterBillboardProgram = new BillboardProgram();
    if (emitterBillboardProgram->failure) {
        failure = emitterBillboardProgram->failure;
        delete emitterBillboardProgram;
        emitterBillboardProgram = nullptr;
    }
    return emitterBillboardProgram;
}

void releaseSharedEmitterResources() {
    delete sharedParticleProgram;
    sharedParticleProgram = nullptr;
    delete emitterBillboardProgram;
    emitterBillboardProgram = nullptr;
}
