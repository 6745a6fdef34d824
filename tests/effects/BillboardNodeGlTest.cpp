#include "effects/BillboardNode.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>
#include <lodepng.h>

#include "scene/CameraNode.h"
#include "support/GlContext.h"

namespace {

class BillboardGlTest : public GlCameraTest {
protected:
    GLuint solidTexture(unsigned char r, unsigned char g, unsigned char b) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        std::vector<unsigned char> texels;
        for (int i = 0; i < 16; ++i) texels.insert(texels.end(), {r, g, b});
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        glGenerateMipmap(GL_TEXTURE_2D);
        return texture;
    }

    // Clears, brings camera and scene up to date, draws the scene with
    // back faces culled.
    void render(Node& scene) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera->update(0.016);
        scene.update(0.016);
        scene.draw();
        GLint culling = 0;
        glGetIntegerv(GL_CULL_FACE, &culling);
        EXPECT_EQ(culling, GL_TRUE);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    bool lit(int x, int y) { return readPixel(x, y)[0] > 200; }
};

TEST_F(BillboardGlTest, SquareFacesTheCameraFromEverySide) {
    struct View {
        glm::vec3 cameraAngles;
        glm::vec3 billboardAt;
    };
    const View views[] = {
        {{0, 0, 0}, {0, 0, -30}},     // ahead
        {{0, 90, 0}, {-30, 0, 0}},    // turned left
        {{0, 180, 0}, {0, 0, 30}},    // turned round
        {{-90, 0, 0}, {0, -30, 0}},   // straight down
        {{90, 0, 0}, {0, 30, 0}},     // straight up
        {{-30, 45, 20}, {0, 0, 0}},   // tilted and banked, billboard placed below
    };
    for (const View& view : views) {
        SCOPED_TRACE(testing::Message() << "camera " << view.cameraAngles.x << "/" << view.cameraAngles.y << "/"
                                        << view.cameraAngles.z);
        camera->setRotation(view.cameraAngles.x, view.cameraAngles.y, view.cameraAngles.z);
        camera->update(0.0);
        glm::vec3 at = view.billboardAt;
        if (at == glm::vec3(0.0f)) at = glm::vec3(camera->getWorldMatrix() * glm::vec4(0, 0, -30, 1));
        BillboardNode node;
        node.textures.push_back(solidTexture(255, 255, 255));
        node.textureCount = 1;
        node.setPosition(at);
        render(node);
        EXPECT_TRUE(lit(400, 300));
        // Side 20 at distance 30: about 120 pixels either way of the centre.
        EXPECT_TRUE(lit(400 + 100, 300));
        EXPECT_TRUE(lit(400, 300 - 90));
        EXPECT_FALSE(lit(400 + 150, 300));
        EXPECT_FALSE(lit(400, 300 + 150));
    }
}

TEST_F(BillboardGlTest, FollowsItsParentsAndShowsOnlyTheFirstTexture) {
    Node parent;
    parent.setPosition(glm::vec3(-20.0f, 0.0f, -60.0f));
    BillboardNode* node = new BillboardNode();
    parent.addChild(node);
    node->setPosition(glm::vec3(20.0f, 0.0f, 30.0f));
    node->textures.push_back(solidTexture(255, 0, 0));
    node->textures.push_back(solidTexture(0, 255, 0));
    node->textureCount = 2;
    render(parent);
    std::vector<unsigned char> centre = readPixel(400, 300);
    EXPECT_GT(centre[0], 200);
    EXPECT_LT(centre[1], 50);

    parent.setPosition(glm::vec3(-40.0f, 0.0f, -60.0f));
    render(parent);
    EXPECT_FALSE(lit(400, 300));
    EXPECT_TRUE(lit(400 - 240, 300));
}

TEST_F(BillboardGlTest, StartsWithItsOwnProgramAtSizeTwenty) {
    BillboardNode first;
    BillboardNode second;
    EXPECT_NE(first.program.program, 0u);
    EXPECT_NE(first.program.program, second.program.program);
    EXPECT_NE(first.vertexArray, 0u);
    EXPECT_EQ(first.textureCount, 0u);
    EXPECT_TRUE(first.textures.empty());
    float size = 0;
    glGetUniformfv(first.program.program, first.program.billboardSize, &size);
    EXPECT_FLOAT_EQ(size, 20.0f);
}

TEST_F(BillboardGlTest, SnowflakeTexturesAreNewEachCallOnTheNextUnit) {
    TempDir dir;
    copyDataTo(dir.path());
    std::filesystem::create_directories(dir.file("Textures"));
    // 3 x 2 pixels: rows of 9 bytes test the unpacking of odd rows.
    std::vector<unsigned char> rgb = {255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    ASSERT_EQ(lodepng::encode(dir.file("Textures/snowflake.png"), rgb, 3, 2, LCT_RGB, 8), 0u);
    ScopedDirectory inside(dir.path());

    BillboardNode node;
    GLuint first = node.loadSnowflakeTexture();
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(unit, GL_TEXTURE0);
    GLuint second = node.loadSnowflakeTexture();
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(unit, GL_TEXTURE1);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(node.textureCount, 2u);
    ASSERT_EQ(node.textures.size(), 2u);
    EXPECT_EQ(node.textures[0], first);

    glBindTexture(GL_TEXTURE_2D, first);
    GLint width = 0, height = 0, minFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    std::vector<unsigned char> back(3 * 2 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, rgb);
}

TEST_F(BillboardGlTest, SharedSnowflakeHoldsTheNodesTexelsAtEveryLevel) {
    TempDir dir;
    copyDataTo(dir.path());
    ScopedDirectory inside(dir.path());
    BillboardNode node;
    const GLuint own = node.loadSnowflakeTexture();
    const GLuint shared = sharedSnowflakeTexture();
    glBindTexture(GL_TEXTURE_2D, own);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    ASSERT_GT(width, 1);
    for (GLint level = 0; (width >> level) > 0; ++level) {
        const size_t side = size_t(width >> level);
        std::vector<unsigned char> ownTexels(side * side * 4), sharedTexels(side * side * 4, 7);
        glBindTexture(GL_TEXTURE_2D, own);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, ownTexels.data());
        glBindTexture(GL_TEXTURE_2D, shared);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, sharedTexels.data());
        EXPECT_EQ(sharedTexels, ownTexels) << "level " << level;
    }
}

TEST_F(BillboardGlTest, MissingSnowflakeGivesAnEmptyTexture) {
    TempDir dir;
    copyDataTo(dir.path());
    std::filesystem::remove(dir.file("Textures/snowflake.png"));
    ScopedDirectory inside(dir.path());
    BillboardNode node;
    testing::internal::CaptureStdout();
    GLuint texture = node.loadSnowflakeTexture();
    std::fflush(stdout);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "lodepng failed to load image: Textures/snowflake.png");
    EXPECT_NE(texture, 0u);
    EXPECT_EQ(node.textureCount, 1u);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
