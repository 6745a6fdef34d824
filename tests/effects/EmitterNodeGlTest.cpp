#include "effects/EmitterNode.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "effects/BillboardNode.h"
#include "scene/CameraNode.h"
#include "support/GlContext.h"

namespace {

class EmitterGlTest : public GlCameraTest {
protected:
    void TearDown() override {
        releaseSharedEmitterResources();
        GlCameraTest::TearDown();
    }

    // One step and its frame's particle pass; returns the records written.
    GLuint countedUpdate(EmitterNode& emitter, double dt) {
        GLuint query = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, query);
        emitter.update(dt);
        emitter.frameUpdate();
        glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
        GLuint written = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &written);
        glDeleteQueries(1, &query);
        return written;
    }

    // A frame of the game: update, then draw.
    GLuint frame(EmitterNode& emitter, double dt) {
        GLuint written = countedUpdate(emitter, dt);
        emitter.draw();
        return written;
    }

    std::vector<Particle> records(GLuint buffer, GLuint count) {
        std::vector<Particle> out(count);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, count * sizeof(Particle), out.data());
        return out;
    }

    // Where the flakes are after the emitter's first five passes as a child
    // of `terrain`.
    std::vector<glm::vec3> flakesUnder(Node& terrain, EmitterNode* emitter) {
        terrain.addChild(emitter);
        terrain.update(0.0);
        GLuint written = 0;
        for (int i = 0; i < 5; ++i) written = countedUpdate(*emitter, 0.016);
        std::vector<glm::vec3> flakes;
        for (const Particle& p : records(emitter->particleBuffers[emitter->sourceIndex], written))
            if (p.type == 1.0f) flakes.push_back(p.position);
        return flakes;
    }

    GLuint whiteTexture() {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        std::vector<unsigned char> white(8 * 8 * 3, 255);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 8, 8, 0, GL_RGB, GL_UNSIGNED_BYTE, white.data());
        glGenerateMipmap(GL_TEXTURE_2D);
        return texture;
    }
};

TEST_F(EmitterGlTest, BothBuffersStartWithTheLauncherAndZeros) {
    EmitterNode emitter(3.0f, 250.0f, -7.0f);
    EXPECT_EQ(emitter.sourceIndex, 0);
    EXPECT_EQ(emitter.targetIndex, 1);
    EXPECT_TRUE(emitter.isFirst);
    EXPECT_EQ(emitter.textureCount, 0u);
    for (GLuint buffer : emitter.particleBuffers) {
        GLint size = 0;
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
        EXPECT_EQ(size, 640000);
        std::vector<Particle> all = records(buffer, MAX_PARTICLES);
        EXPECT_EQ(all[0].type, 0.0f);
        EXPECT_EQ(all[0].position, glm::vec3(3.0f, 250.0f, -7.0f));
        EXPECT_EQ(all[0].velocity, glm::vec3(0.0f, -9.81f, 0.0f));
        EXPECT_EQ(all[0].age, 0.0f);
        int nonZero = 0;
        for (size_t i = 1; i < all.size(); ++i) {
            const Particle& p = all[i];
            if (p.type != 0.0f || p.position != glm::vec3(0.0f) || p.velocity != glm::vec3(0.0f) || p.age != 0.0f)
                ++nonZero;
        }
        EXPECT_EQ(nonZero, 0);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(EmitterGlTest, FirstUpdateRunsOnlyTheLauncher) {
    EmitterNode emitter(0.0f, 250.0f, 0.0f);
    GLuint written = countedUpdate(emitter, 0.016);
    // Had the 19,999 zero records run too, each would have acted as a launcher.
    EXPECT_GE(written, 2u);
    EXPECT_LE(written, 16u);
    EXPECT_FALSE(emitter.isFirst);
    // The buffer just written is the one to draw and the next update's input.
    EXPECT_EQ(emitter.sourceIndex, 1);
    EXPECT_EQ(emitter.targetIndex, 0);

    std::vector<Particle> out = records(emitter.particleBuffers[1], written);
    EXPECT_EQ(out[0].type, 0.0f);
    EXPECT_EQ(out[0].position, glm::vec3(0.0f, 250.0f, 0.0f));
    // Drawing again (a paused frame) shows the same flakes.
    emitter.draw();
    emitter.draw();
    EXPECT_EQ(emitter.sourceIndex, 1);
    EXPECT_EQ(emitter.targetIndex, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(EmitterGlTest, FrameTimeAndRandomSpeedReachTheUpdateProgram) {
    EmitterNode emitter(0.0f, 250.0f, 0.0f);
    GLuint program = emitter.particleProgram->program;
    float speed[3] = {1, 1, 1};
    glGetUniformfv(program, emitter.particleProgram->randomSpeed, speed);
    EXPECT_EQ(glm::vec3(speed[0], speed[1], speed[2]), glm::vec3(0.0f));
    float lifetime = 0;
    glGetUniformfv(program, emitter.particleProgram->simpleParticleLifetime, &lifetime);
    EXPECT_FLOAT_EQ(lifetime, 100000.0f);

    std::srand(1);  // the state of a run that never seeds
    emitter.update(0.010);
    emitter.update(0.006);
    emitter.frameUpdate();
    float millis = 0;
    glGetUniformfv(program, emitter.particleProgram->deltaTimeMillis, &millis);
    EXPECT_FLOAT_EQ(millis, 16.0f);
    glGetUniformfv(program, emitter.particleProgram->randomSpeed, speed);
    std::srand(1);
    int r1 = std::rand() % 2000;
    int r2 = std::rand() % 1000;
    int r3 = std::rand() % 1000;
    EXPECT_FLOAT_EQ(speed[0], (r3 - 800) / 1000.0f * 20.0f);
    EXPECT_FLOAT_EQ(speed[1], (r2 - 1000) / 1000.0f * 20.0f);
    EXPECT_FLOAT_EQ(speed[2], (r1 - 1000) / 1000.0f * 20.0f);
}

TEST_F(EmitterGlTest, EmitterPositionFollowsTheParents) {
    Node parent;
    parent.setPosition(glm::vec3(100.0f, -200.0f, 50.0f));
    EmitterNode* emitter = new EmitterNode(10.0f, 250.0f, 20.0f);
    parent.addChild(emitter);
    parent.update(0.016);
    parent.frameUpdate();
    float position[3] = {0, 0, 0};
    glGetUniformfv(emitter->particleProgram->program, emitter->particleProgram->emitterPosition, position);
    EXPECT_EQ(glm::vec3(position[0], position[1], position[2]), glm::vec3(110.0f, 50.0f, 70.0f));
    std::vector<Particle> out = records(emitter->particleBuffers[1], 1);
    EXPECT_EQ(out[0].position, glm::vec3(110.0f, 50.0f, 70.0f));
}

TEST_F(EmitterGlTest, SnowFillsAWideColumnBelowTheEmitterAndStaysWithinTheBuffer) {
    const glm::vec3 origin(0.0f, 250.0f, 0.0f);
    EmitterNode emitter(origin.x, origin.y, origin.z);
    GLuint written = 0;
    for (int i = 0; i < 5; ++i) written = frame(emitter, 0.016);
    // Within a few frames the column is full, not trickling out of one point.
    EXPECT_GT(written, 6000u);
    EXPECT_LT(written, GLuint(MAX_PARTICLES));

    std::vector<Particle> snow = records(emitter.particleBuffers[emitter.sourceIndex], written);
    EXPECT_EQ(snow[0].type, 0.0f);
    float widest = 0.0f;
    float lowest = origin.y;
    int flakes = 0;
    for (size_t i = 1; i < snow.size(); ++i) {
        const Particle& p = snow[i];
        if (p.type != 1.0f) continue;
        ++flakes;
        EXPECT_LE(p.position.y, origin.y + 0.01f);
        EXPECT_LT(p.velocity.y, 0.0f);
        EXPECT_LE(p.age, 100000.0f);
        float across = glm::length(glm::vec2(p.position.x, p.position.z));
        EXPECT_LE(across, 110.0f);
        widest = std::max(widest, across);
        lowest = std::min(lowest, p.position.y);
    }
    EXPECT_GT(flakes, 6000);
    EXPECT_GT(widest, 90.0f);
    // Down to the terrain's zero height, 250 below the emitter, and no lower.
    EXPECT_LT(lowest, origin.y - 240.0f);
    EXPECT_GE(lowest, origin.y - 250.5f);

    // A long snowfall stays within the 20,000 records and keeps its launcher.
    for (int i = 0; i < 1000; ++i) {
        written = frame(emitter, 0.12);
        ASSERT_LT(written, GLuint(MAX_PARTICLES)) << "after " << (i + 1) * 0.12 << " seconds";
    }
    // Only flakes from the launcher are left by now, and none has left the
    // reach by which the game culls whole snowfalls.
    EXPECT_GT(written, 5000u);
    std::vector<Particle> later = records(emitter.particleBuffers[emitter.sourceIndex], written);
    EXPECT_EQ(later[0].type, 0.0f);
    for (const Particle& p : later) {
        ASSERT_LE(std::max(std::fabs(p.position.x - origin.x), std::fabs(p.position.z - origin.z)), SNOWFALL_REACH);
        ASSERT_LE(p.position.y, origin.y + 1.0f);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(EmitterGlTest, SnowEndsAtTheZeroHeightOfTheTiltedTerrain) {
    // Placed as the level places the terrain, which tilts its zero height.
    Node terrain;
    terrain.setPosition(glm::vec3(0.0f, -200.0f, 1000.0f));
    terrain.setRotation(15.0f, 0.0f, 0.0f);
    EmitterNode* emitter = new EmitterNode(0.0f, 250.0f, 0.0f);
    float lowest = 250.0f, deepest = 0.0f;
    for (const glm::vec3& flake : flakesUnder(terrain, emitter)) {
        lowest = std::min(lowest, (terrain.getInverseWorldMatrix() * glm::vec4(flake, 1.0f)).y);
        deepest = std::max(deepest, emitter->getWorldMatrix()[3].y - flake.y);
    }
    EXPECT_GE(lowest, -0.5f);
    EXPECT_LT(lowest, 10.0f);
    // Downhill the zero height lies up to 286 below the emitter.
    EXPECT_GT(deepest, 265.0f);
}

TEST_F(EmitterGlTest, SnowEndsOnceItHasSunkUnderTheGround) {
    // A cliff across the snowfall: ground 120 high where x < -4, 20 from 0 on.
    // The level's tilt moves the foot of the snowfall 70 units along z.
    const int side = 128;
    std::vector<float> positions;
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j)
            positions.insert(positions.end(), {4.0f * j - 256.0f, j < side / 2 ? 120.0f : 20.0f, 256.0f - 4.0f * i});
    Node terrain;
    terrain.setRotation(15.0f, 0.0f, 0.0f);
    EmitterNode* emitter = new EmitterNode(0.0f, 250.0f, 0.0f);
    emitter->ground = std::make_shared<SnowGround>(positions, side, side, 512.0f, 512.0f);
    float lowestOnHigh = 250.0f, lowestOnLow = 250.0f;
    for (const glm::vec3& flake : flakesUnder(terrain, emitter)) {
        const glm::vec3 at(terrain.getInverseWorldMatrix() * glm::vec4(flake, 1.0f));
        // Clear of the cliff's slope, one cell from -4 to 0, and the cells beside.
        if (std::abs(at.x) < 12.0f) continue;
        float& lowest = at.x < 0.0f ? lowestOnHigh : lowestOnLow;
        lowest = std::min(lowest, at.y);
    }
    EXPECT_GE(lowestOnHigh, 119.5f);
    EXPECT_LT(lowestOnHigh, 130.0f);
    EXPECT_LT(lowestOnLow, 30.0f);
}

TEST_F(EmitterGlTest, FlakesFallAndDieOfOldAge) {
    EmitterNode emitter(0.0f, 250.0f, 0.0f);
    GLuint before = 0;
    for (int i = 0; i < 5; ++i) before = frame(emitter, 0.016);
    std::vector<Particle> start = records(emitter.particleBuffers[emitter.sourceIndex], before);
    // A flake keeps its velocity for life, which tells it apart from the others.
    std::map<std::tuple<float, float, float>, glm::vec3> positionOf;
    for (const Particle& p : start)
        if (p.type == 1.0f) positionOf[{p.velocity.x, p.velocity.y, p.velocity.z}] = p.position;

    GLuint after = frame(emitter, 1.0);
    std::vector<Particle> next = records(emitter.particleBuffers[emitter.sourceIndex], after);
    int followed = 0;
    for (const Particle& p : next) {
        auto found = positionOf.find({p.velocity.x, p.velocity.y, p.velocity.z});
        if (p.type != 1.0f || found == positionOf.end()) continue;
        ++followed;
        glm::vec3 moved = p.position - found->second;
        ASSERT_NEAR(moved.y, p.velocity.y, 1e-3);
        ASSERT_LE(moved.y, -2.4f);
        // Drift and flutter stay gentle: snow, not a fountain.
        float sideways = glm::length(glm::vec2(moved.x, moved.z));
        ASSERT_LE(sideways, glm::length(glm::vec2(p.velocity.x, p.velocity.z)) + 0.75f);
    }
    EXPECT_GT(followed, 5000);

    // With a lifetime of one millisecond everything but the launcher and the
    // newest flakes is gone after one more pass.
    glUseProgram(emitter.particleProgram->program);
    glUniform1f(emitter.particleProgram->simpleParticleLifetime, 1.0f);
    GLuint survivors = frame(emitter, 0.5);
    EXPECT_GE(survivors, 1u);
    EXPECT_LE(survivors, 16u);
}

TEST_F(EmitterGlTest, TwoEmittersShareTheirProgramsAndKeepTheFlakeSize) {
    EmitterNode first(0.0f, 250.0f, 0.0f);
    BillboardNode billboard;  // its own program, size 20
    EmitterNode second(50.0f, 250.0f, 50.0f);
    EXPECT_EQ(first.particleProgram, second.particleProgram);
    EXPECT_EQ(first.billboardProgram, second.billboardProgram);
    EXPECT_EQ(first.particleProgram, sharedParticleProgram);
    EXPECT_EQ(first.billboardProgram, emitterBillboardProgram);
    EXPECT_NE(first.billboardProgram->program, billboard.program.program);
    float size = 0;
    glGetUniformfv(emitterBillboardProgram->program, emitterBillboardProgram->billboardSize, &size);
    EXPECT_FLOAT_EQ(size, 0.7f);
    glGetUniformfv(billboard.program.program, billboard.program.billboardSize, &size);
    EXPECT_FLOAT_EQ(size, 20.0f);
    EXPECT_NE(first.particleBuffers[0], second.particleBuffers[0]);
}

TEST_F(EmitterGlTest, RemovingOneEmitterLeavesTheOtherWorking) {
    EmitterNode* first = new EmitterNode(0.0f, 250.0f, 0.0f);
    EmitterNode second(50.0f, 250.0f, 50.0f);
    frame(*first, 0.016);
    frame(second, 0.016);
    delete first;
    GLuint written = 0;
    for (int i = 0; i < 4; ++i) written = frame(second, 0.016);
    EXPECT_GT(written, 6000u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(EmitterGlTest, FlakesAppearOnScreenAroundTheCamera) {
    // The camera at the origin looking along -z, inside the snow column.
    EmitterNode emitter(0.0f, 150.0f, 0.0f);
    GLuint texture = whiteTexture();
    emitter.textures.push_back(texture);
    emitter.textureCount = 1;
    glEnable(GL_CULL_FACE);
    for (int i = 0; i < 5; ++i) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera->update(0.016);
        frame(emitter, 0.016);
    }
    std::vector<unsigned char> pixels(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        if (pixels[i] > 128) ++lit;
    EXPECT_GT(lit, 200);
    EXPECT_LT(lit, 800 * 600 / 2);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(EmitterGlTest, OnlyFlakesThatCanShowReachTheRasteriser) {
    EmitterNode emitter(0.0f, 150.0f, 0.0f);
    GLuint query = 0;
    glGenQueries(1, &query);
    auto trianglesDrawn = [&](const glm::vec3& eye) {
        camera->setPosition(eye);
        camera->update(0.016);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        emitter.draw();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint count = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        return count;
    };
    GLuint flakes = 0;
    for (int i = 0; i < 5; ++i) flakes = countedUpdate(emitter, 0.016);
    // Inside the column, looking along -z: the flakes out of view and the
    // far specks are left out, so far fewer than every flake's two triangles.
    const GLuint inside = trianglesDrawn(glm::vec3(0.0f));
    EXPECT_GT(inside, 0u);
    EXPECT_LT(inside, flakes);
    // From 5,000 units a flake is a tenth of a pixel.
    EXPECT_EQ(trianglesDrawn(glm::vec3(0.0f, 0.0f, 5000.0f)), 0u);
    glDeleteQueries(1, &query);
}

}  // namespace
