#include "render/PostProcessing.h"

#include <cmath>

#include <gtest/gtest.h>

#include "render/Environment.h"
#include "render/FBORenderer.h"
#include "render/GeometryNode.h"
#include "render/LightNode.h"
#include "render/LightRegistry.h"
#include "scene/CameraNode.h"
#include "support/GlContext.h"
#include "support/MustBuild.h"

namespace {

class PostProcessingGlTest : public GlCameraTest {
protected:
    void SetUp() override {
        GlCameraTest::SetUp();
        if (HasFatalFailure()) return;
        environment.fogEnabled = false;
        testing::internal::CaptureStdout();
        motionBlurRenderer = setUpPostProcessing(MustBuild());
        startUpLines = testing::internal::GetCapturedStdout();
    }
    void TearDown() override {
        // Its GL names die with the context; the object itself is ours.
        delete motionBlurRenderer;
        GlCameraTest::TearDown();
    }

    // A 512 x 512 level map: flat at height 64 with a round hill in the middle.
    static std::vector<unsigned char> hillMap() {
        std::vector<unsigned char> rgb(512 * 512 * 3, 0);
        for (int row = 0; row < 512; ++row) {
            for (int column = 0; column < 512; ++column) {
                float dx = column - 256.0f, dy = row - 256.0f;
                float hill = 180.0f * std::exp(-(dx * dx + dy * dy) / (2.0f * 40.0f * 40.0f));
                rgb[(row * 512 + column) * 3] = static_cast<unsigned char>(64.0f + hill);
            }
        }
        return rgb;
    }
    static std::vector<unsigned char> readTexture(GLuint texture, int width, int height) {
        std::vector<unsigned char> rgba(width * height * 4);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }
    static std::vector<unsigned char> readWindow() {
        std::vector<unsigned char> rgba(800 * 600 * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }
    // Opaque pass through the motion-blur target, then the composite.
    void drawThroughMotionBlur(Node& root, float speed) {
        camera->update(0.0);
        root.update(0.0);
        bindMotionBlurTarget();
        root.draw();
        bindDefaultTarget();
        motionBlurRenderer->render(speed);
    }

    FBORenderer* motionBlurRenderer = nullptr;
    std::string startUpLines;
};

TEST_F(PostProcessingGlTest, StartUpBuildsTargetsAndRenderersInOrder) {
    size_t blur = startUpLines.find("Motion Blur FBO working");
    size_t lightMap = startUpLines.find("Lightmap FBO working");
    size_t done = startUpLines.find("Done loading shaders: ");
    size_t last = startUpLines.find("Done setting up motion blur FBO renderer");
    EXPECT_NE(blur, std::string::npos);
    EXPECT_LT(blur, lightMap);
    EXPECT_LT(lightMap, done);
    EXPECT_LT(done, last);
    int renderers = 0;
    for (size_t at = startUpLines.find("Creating FBORenderer VBO"); at != std::string::npos;
         at = startUpLines.find("Creating FBORenderer VBO", at + 1)) {
        ++renderers;
    }
    EXPECT_EQ(renderers, 4);
    EXPECT_EQ(startUpLines.find("NOT working"), std::string::npos);
    ASSERT_NE(lightMapRenderer, nullptr);
    EXPECT_TRUE(lightMapRenderer->uploadLights);
    EXPECT_FALSE(gaussRenderer->uploadLights);
    EXPECT_EQ(lightMapRenderer->colorTexture, lightMapSourceTexture);
    EXPECT_EQ(gaussRenderer->colorTexture, lightMapTexture);
    EXPECT_EQ(motionBlurRenderer->colorTexture, sceneColorTexture);
    EXPECT_EQ(motionBlurRenderer->dataTexture, sceneDataTexture);
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, sceneDataTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PostProcessingGlTest, BakeShadesTheHeightFieldOffScreen) {
    environment.setLighting(LightingMode::Day);
    std::vector<unsigned char> map = hillMap();
    glClearColor(1, 0, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    // A tiny viewport must not matter: the bake has its own target.
    glViewport(0, 0, 64, 48);
    GLuint id = bakeLightMap(map.data());
    EXPECT_EQ(id, lightMapTexture);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 64) << "viewport restored";
    EXPECT_EQ(viewport[3], 48);
    auto corner = readPixel(10, 10);
    EXPECT_EQ(corner[0], 255);
    EXPECT_EQ(corner[1], 0) << "the window is not drawn into";

    std::vector<unsigned char> light = readTexture(id, 512, 512);
    auto at = [&](int column, int row) { return static_cast<int>(light[(row * 512 + column) * 4]); };
    // Flat ground: ambient 0.6 plus the low sun at sin(15 degrees).
    EXPECT_NEAR(at(20, 20), static_cast<int>((0.6f + std::sin(glm::radians(15.0f))) * 255.0f), 4);
    int lowest = 255, highest = 0;
    for (int row = 150; row < 362; row += 2) {
        for (int column = 150; column < 362; column += 2) {
            lowest = std::min(lowest, at(column, row));
            highest = std::max(highest, at(column, row));
        }
    }
    EXPECT_GE(highest, 250) << "the hillside facing the sun";
    EXPECT_LE(lowest, 160) << "the far side only gets the ambient light";
    EXPECT_GE(lowest, 148);
    // The two sides of the hill along the sun's direction (rows) differ.
    EXPECT_GT(std::abs(at(256, 226) - at(256, 286)), 60);
    // The same hill across the sun (columns) is lit alike on both sides.
    EXPECT_NEAR(at(226, 256), at(286, 256), 6);

    // Same result from a full-size viewport.
    glViewport(0, 0, 800, 600);
    bakeLightMap(map.data());
    EXPECT_EQ(readTexture(id, 512, 512), light);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PostProcessingGlTest, BakeWithoutLightsIsBlack) {
    std::vector<unsigned char> map = hillMap();
    bakeLightMap(map.data());
    std::vector<unsigned char> light = readTexture(lightMapTexture, 512, 512);
    EXPECT_EQ(light[0], 0);
    EXPECT_EQ(light[(256 * 512 + 256) * 4], 0);
}

TEST_F(PostProcessingGlTest, MotionBlurAtStartSpeedReproducesTheSceneExactly) {
    environment.setLighting(LightingMode::Day);
    Node root;
    GeometryNode* cube = createCubeNode(MustBuild());
    cube->setPosition(glm::vec3(0.3f, -0.2f, -3));
    cube->setRotation(20, 30, 0);
    root.addChild(cube);
    GeometryNode* far = createCubeNode(MustBuild());
    far->setPosition(glm::vec3(-2, 1, -8));
    root.addChild(far);

    // Two frames with the camera moving, so the motion output is not empty.
    drawThroughMotionBlur(root, 25.0f);
    camera->setPosition(glm::vec3(0.2f, 0.1f, 0.5f));
    drawThroughMotionBlur(root, 25.0f);
    std::vector<unsigned char> window = readWindow();
    std::vector<unsigned char> scene = readTexture(sceneColorTexture, 800, 600);
    std::vector<unsigned char> data = readTexture(sceneDataTexture, 800, 600);
    size_t differing = 0, moving = 0;
    for (size_t p = 0; p < window.size(); p += 4) {
        for (int c = 0; c < 3; ++c) differing += window[p + c] != scene[p + c];
        moving += data[p] != 127 || data[p + 1] != 127;
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_GT(moving, 1000u) << "the scene did move";
    EXPECT_EQ(data[0], 127) << "the empty sky carries no motion";

    // Faster than 30 the same frame is smeared along the motion.
    drawThroughMotionBlur(root, 39.0f);
    camera->setPosition(glm::vec3(0.4f, 0.2f, 1.0f));
    drawThroughMotionBlur(root, 39.0f);
    window = readWindow();
    scene = readTexture(sceneColorTexture, 800, 600);
    differing = 0;
    for (size_t p = 0; p < window.size(); p += 4) differing += window[p] != scene[p];
    EXPECT_GT(differing, 500u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PostProcessingGlTest, StillSceneHasNoMotion) {
    environment.setLighting(LightingMode::Day);
    Node root;
    GeometryNode* cube = createCubeNode(MustBuild());
    cube->setPosition(glm::vec3(0, 0, -3));
    root.addChild(cube);
    drawThroughMotionBlur(root, 39.0f);
    drawThroughMotionBlur(root, 39.0f);
    std::vector<unsigned char> data = readTexture(sceneDataTexture, 800, 600);
    size_t p = (300 * 800 + 400) * 4;
    EXPECT_NEAR(data[p], 127, 1);
    EXPECT_NEAR(data[p + 1], 127, 1);
    std::vector<unsigned char> window = readWindow();
    std::vector<unsigned char> scene = readTexture(sceneColorTexture, 800, 600);
    EXPECT_NEAR(window[p], scene[p], 2) << "nothing moved, nothing smeared";
}

TEST_F(PostProcessingGlTest, TrailsLeavingThePictureContinueItsEdge) {
    // A blue scene with a green first column, every pixel moving left and
    // down as far as it can, so each trail reaches right and up past the edge.
    std::vector<unsigned char> color(800 * 600 * 4), data(800 * 600 * 4);
    for (size_t p = 0; p < color.size(); p += 4) {
        const bool firstColumn = (p / 4) % 800 == 0;
        color[p + 1] = firstColumn ? 255 : 0;
        color[p + 2] = firstColumn ? 0 : 255;
        color[p + 3] = 255;
        data[p + 3] = 255;
    }
    for (auto [texture, pixels] : {std::pair{sceneColorTexture, &color}, std::pair{sceneDataTexture, &data}}) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels->data());
    }
    bindDefaultTarget();
    motionBlurRenderer->render(39.0f);
    std::vector<unsigned char> window = readWindow();
    size_t greenAtTheRight = 0;
    for (int row = 0; row < 600; ++row) greenAtTheRight += window[(row * 800 + 799) * 4 + 1] != 0;
    EXPECT_EQ(greenAtTheRight, 0u) << "the far edge's colour came round";
    EXPECT_EQ(window[(300 * 800 + 799) * 4 + 2], 255);
    EXPECT_NEAR(window[(300 * 800) * 4 + 1], 255 / 8, 1) << "the first column smeared over seven blue pixels";
}

}  // namespace
