#include "render/RenderResources.h"

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "effects/BillboardNode.h"
#include "effects/EmitterNode.h"
#include "effects/TextNode.h"
#include "render/FBORenderer.h"
#include "render/GeometryNode.h"
#include "render/Mesh.h"
#include "render/PlainTexture.h"
#include "render/PostProcessing.h"
#include "support/GlContext.h"
#include "support/MustBuild.h"

namespace {

// Names of every kind of process-wide object, made as the game makes them.
struct Names {
    GLuint white, snowflake, basic, cached, font, textProgram, particles, billboards, sceneColor, lightMap;
    GLuint framebuffer;
};

class RenderResourcesGlTest : public GlTest {
protected:
    Names make() {
        testing::internal::CaptureStdout();
        // The text set goes with the last text node: these stay to the end.
        texts.emplace_back(new TextNode());
        delete new EmitterNode(0.0f, 0.0f, 0.0f);
        delete setUpPostProcessing(MustBuild());
        Mesh mesh(nullptr, nullptr, nullptr, nullptr, 0, 0);
        mesh.loadTexture("Textures/snow.png");
        Names names{plainWhiteTexture(),
                    sharedSnowflakeTexture(),
                    ensureBasicShader(MustBuild()),
                    textureCache.at("Textures/snow.png"),
                    textResources.fontTexture,
                    textResources.program,
                    sharedParticleProgram->program,
                    emitterBillboardProgram->program,
                    sceneColorTexture,
                    lightMapTexture,
                    motionBlurFramebuffer};
        testing::internal::GetCapturedStdout();
        return names;
    }
    std::vector<std::unique_ptr<TextNode>> texts;

    static std::vector<GLboolean> alive(const Names& n) {
        return {glIsTexture(n.white),     glIsTexture(n.snowflake),    glIsProgram(n.basic),
                glIsTexture(n.cached),    glIsTexture(n.font),         glIsProgram(n.textProgram),
                glIsProgram(n.particles), glIsProgram(n.billboards),   glIsTexture(n.sceneColor),
                glIsTexture(n.lightMap),  glIsFramebuffer(n.framebuffer)};
    }
    static void expectForgotten() {
        EXPECT_EQ(basicShader, 0u);
        EXPECT_TRUE(textureCache.empty());
        EXPECT_EQ(textResources.program, 0u);
        EXPECT_EQ(sharedParticleProgram, nullptr);
        EXPECT_EQ(emitterBillboardProgram, nullptr);
        EXPECT_EQ(lightMapRenderer, nullptr);
        EXPECT_EQ(gaussRenderer, nullptr);
        EXPECT_EQ(sceneColorTexture, 0u);
        EXPECT_EQ(motionBlurFramebuffer, 0u);
    }
};

TEST_F(RenderResourcesGlTest, ForgetDropsTheNamesAndReleaseDeletesTheObjects) {
    const Names first = make();
    const std::vector<GLboolean> allAlive(alive(first).size(), GL_TRUE);
    ASSERT_EQ(alive(first), allAlive);

    RenderResources::forget();
    expectForgotten();
    EXPECT_EQ(alive(first), allAlive) << "forgetting deletes nothing";

    const Names second = make();
    EXPECT_NE(second.white, first.white) << "a forgotten texture is made anew";
    RenderResources::release();
    expectForgotten();
    EXPECT_EQ(alive(second), std::vector<GLboolean>(allAlive.size(), GL_FALSE));
    EXPECT_EQ(alive(first), allAlive) << "the forgotten objects were not the owner's to delete";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
