#include "render/PostProcessing.h"

#include <cstdio>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "core/GameSettings.h"
#include "render/FBORenderer.h"
#include "render/RenderResources.h"
#include "render/ShaderConstants.h"
#include "render/ShaderLoader.h"

FBORenderer* lightMapRenderer = nullptr;
FBORenderer* gaussRenderer = nullptr;
GLuint sceneColorTexture = 0, sceneDataTexture = 0, lightMapTexture = 0, lightMapSourceTexture = 0,
       motionBlurFramebuffer = 0, lightMapFramebuffer = 0;

namespace {

GLuint sceneDepthBuffer = 0;
// A scene drawn at a share of the window is blurred at that share into the
// lower-left of this target (window-sized, so a new scale allocates nothing):
// the blur's cost then falls with the square of the scale.
GLuint scaledBlurTexture = 0, scaledBlurFramebuffer = 0;
// The pass that puts a scene drawn at a share of the window on the whole
// window, and the bilinear sampling it reads the scene with (the targets
// themselves stay nearest, as the blur pass reads them).
GLuint scaleUpProgram = 0;
GLuint bilinearSampler = 0;
// The bake passes draw here; lightMapTexture is what they read, so it cannot
// be the target at the same time.
GLuint bakeTargetTexture = 0;
// The four pass programs; the renderers only borrow them.
std::vector<GLuint> passPrograms;

GLuint loadPassProgram(const std::string& fragmentPath, ShaderFailure& failure) {
    GLuint program = loadFboProgram(fragmentPath, failure);
    if (program != 0) passPrograms.push_back(program);
    return program;
}

// With `deleteNames` false the names died with their context: only the
// holders go.
void dropPostProcessing(bool deleteNames) {
    for (FBORenderer** renderer : {&lightMapRenderer, &gaussRenderer}) {
        if (*renderer && !deleteNames) {
            FBORenderer& pass = **renderer;
            pass.vao = pass.positionBuffer = pass.indexBuffer = pass.uvBuffer = 0;
        }
        delete *renderer;
        *renderer = nullptr;
    }
    for (GLuint* texture : {&sceneColorTexture, &sceneDataTexture, &lightMapTexture, &lightMapSourceTexture,
                            &bakeTargetTexture, &scaledBlurTexture}) {
        if (deleteNames && *texture) glDeleteTextures(1, texture);
        *texture = 0;
    }
    for (GLuint* framebuffer : {&motionBlurFramebuffer, &lightMapFramebuffer, &scaledBlurFramebuffer}) {
        if (deleteNames && *framebuffer) glDeleteFramebuffersEXT(1, framebuffer);
        *framebuffer = 0;
    }
    if (deleteNames && sceneDepthBuffer) glDeleteRenderbuffersEXT(1, &sceneDepthBuffer);
    sceneDepthBuffer = 0;
    if (deleteNames && bilinearSampler) glDeleteSamplers(1, &bilinearSampler);
    bilinearSampler = 0;
    scaleUpProgram = 0;
    if (deleteNames)
        for (GLuint program : passPrograms) glDeleteProgram(program);
    passPrograms.clear();
}

[[maybe_unused]] const bool registered =
    RenderResources::add([] { dropPostProcessing(true); }, [] { dropPostProcessing(false); });

GLuint createTargetTexture(int width, int height) {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    return id;
}

bool framebufferComplete() {
    return glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
}

// Built quietly, after the console's lines of the four passes, with its
// inputs where the blur pass has them: it draws with the blur pass's quad.
bool setUpScaleUpPass(GLuint blurProgram, ShaderFailure& failure) {
    const GLuint program = glCreateProgram();
    if (!compileShaderFile(program, GL_VERTEX_SHADER, "Shaders/fboShader.vert", true, failure) ||
        !compileShaderFile(program, GL_FRAGMENT_SHADER, "Shaders/scaleUpFBOShader.frag", true, failure)) {
        glDeleteProgram(program);
        return false;
    }
    for (const char* input : {"in_position", "in_uv"}) {
        const GLint location = glGetAttribLocation(blurProgram, input);
        if (location >= 0) glBindAttribLocation(program, GLuint(location), input);
    }
    glBindFragDataLocation(program, 0, "fragColor");
    glBindFragDataLocation(program, 1, "fragData");
    if (!linkShaderProgram(program, failure)) {
        glDeleteProgram(program);
        return false;
    }
    passPrograms.push_back(program);
    scaleUpProgram = program;

    glGenSamplers(1, &bilinearSampler);
    glSamplerParameteri(bilinearSampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glSamplerParameteri(bilinearSampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(bilinearSampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(bilinearSampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return true;
}

// Copies the bound read frame buffer's 512 x 512 into lightMapTexture.
void copyIntoLightMap() {
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, lightMapTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, LIGHT_MAP_SIZE, LIGHT_MAP_SIZE);
}

}  // namespace

void createFramebuffers() {
    const int width = gameSettings.width;
    const int height = gameSettings.height;
    sceneColorTexture = createTargetTexture(width, height);
    sceneDataTexture = createTargetTexture(width, height);
    lightMapTexture = createTargetTexture(LIGHT_MAP_SIZE, LIGHT_MAP_SIZE);
    lightMapSourceTexture = createTargetTexture(LIGHT_MAP_SIZE, LIGHT_MAP_SIZE);
    bakeTargetTexture = createTargetTexture(LIGHT_MAP_SIZE, LIGHT_MAP_SIZE);

    glGenFramebuffersEXT(1, &motionBlurFramebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, motionBlurFramebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, sceneColorTexture, 0);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT1_EXT, GL_TEXTURE_2D, sceneDataTexture, 0);
    glGenRenderbuffersEXT(1, &sceneDepthBuffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, sceneDepthBuffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, sceneDepthBuffer);
    if (framebufferComplete()) printf("Motion Blur FBO working\n");
    else printf("!!! ERROR: Motion Blur FBO NOT working !!!\n");
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);

    // Quietly: the console reports the two frame buffers it always had.
    scaledBlurTexture = createTargetTexture(width, height);
    glGenFramebuffersEXT(1, &scaledBlurFramebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, scaledBlurFramebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, scaledBlurTexture, 0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);

    glGenFramebuffersEXT(1, &lightMapFramebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, lightMapFramebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, lightMapTexture, 0);
    if (framebufferComplete()) printf("Lightmap FBO working\n");
    else printf("!!! ERROR: Lightmap FBO NOT working !!!\n");
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void resizeSceneTargets(int width, int height) {
    for (GLuint texture : {sceneColorTexture, sceneDataTexture, scaledBlurTexture}) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, sceneDepthBuffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
}

FBORenderer* setUpPostProcessing(ShaderFailure& failure) {
    createFramebuffers();
    GLuint program = loadPassProgram("Shaders/lightmappingFBOShader.frag", failure);
    if (!program) return nullptr;
    lightMapRenderer =
        new FBORenderer(LIGHT_MAP_SIZE, LIGHT_MAP_SIZE, program, lightMapSourceTexture, lightMapSourceTexture);
    lightMapRenderer->uploadLights = true;
    program = loadPassProgram("Shaders/GaussFBOShader.frag", failure);
    if (!program) return nullptr;
    gaussRenderer = new FBORenderer(LIGHT_MAP_SIZE, LIGHT_MAP_SIZE, program, lightMapTexture, lightMapTexture);
    // The plain pass is built so a broken file is found at start-up; it is
    // never drawn.
    program = loadPassProgram("Shaders/plainFBOShader.frag", failure);
    if (!program) return nullptr;
    delete new FBORenderer(LIGHT_MAP_SIZE, LIGHT_MAP_SIZE, program, lightMapTexture, lightMapTexture);
    program = loadPassProgram("Shaders/motionBlurFBOShader.frag", failure);
    if (!program) return nullptr;
    printf("Done loading shaders: %i\n", static_cast<int>(program));
    FBORenderer* motionBlurRenderer =
        new FBORenderer(gameSettings.width, gameSettings.height, program, sceneColorTexture, sceneDataTexture);
    printf("Done setting up motion blur FBO renderer\n");
    if (!setUpScaleUpPass(program, failure)) {
        delete motionBlurRenderer;
        return nullptr;
    }
    return motionBlurRenderer;
}

GLuint bakeLightMap(const unsigned char* rgb512) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, lightMapSourceTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, LIGHT_MAP_SIZE, LIGHT_MAP_SIZE, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb512);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    // The terrain is tilted by 15 degrees about x; the pass turns its normals
    // with the inverse of that.
    lightMapRenderer->rotationMatrix = glm::rotate(glm::mat4(1.0f), glm::radians(-15.0f), glm::vec3(1, 0, 0));
    lightMapRenderer->uploadRotation = true;

    // Both passes go to an off-screen 512 x 512 target, so the window's size
    // and visibility do not matter.
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, lightMapFramebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, bakeTargetTexture, 0);
    GLenum target = GL_COLOR_ATTACHMENT0_EXT;
    glDrawBuffers(1, &target);
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glViewport(0, 0, LIGHT_MAP_SIZE, LIGHT_MAP_SIZE);

    lightMapRenderer->render(0.0f);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, lightMapTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, LIGHT_MAP_SIZE, LIGHT_MAP_SIZE, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    copyIntoLightMap();

    gaussRenderer->render(0.0f);
    copyIntoLightMap();

    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, lightMapTexture);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    printf("LMTex id: %i\n", static_cast<int>(lightMapTexture));

    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, lightMapTexture, 0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    return lightMapTexture;
}

void bindMotionBlurTarget() {
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER, motionBlurFramebuffer);
    const GLenum buffers[2] = {GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT};
    glDrawBuffers(2, buffers);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Where no geometry lands there is no motion: the data output starts at
    // the encoding of zero, whatever the clear colour.
    const GLfloat noMotion[4] = {127.0f / 255.0f, 127.0f / 255.0f, 0.0f, 0.0f};
    glClearBufferfv(GL_COLOR, 1, noMotion);
}

void bindDefaultTarget() { glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER, 0); }

void bindScaledSceneTarget(int width, int height) {
    bindMotionBlurTarget();
    glViewport(0, 0, width, height);
}

void sceneTargetColourOnly() {
    const GLenum colour = GL_COLOR_ATTACHMENT0_EXT;
    glDrawBuffers(1, &colour);
}

void blurScaledScene(FBORenderer& blur, float playerSpeed, int sceneWidth, int sceneHeight, bool clearFirst) {
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER, scaledBlurFramebuffer);
    const GLenum colour = GL_COLOR_ATTACHMENT0_EXT;
    glDrawBuffers(1, &colour);
    glViewport(0, 0, sceneWidth, sceneHeight);
    if (clearFirst) glClear(GL_COLOR_BUFFER_BIT);
    // The blur pass takes the scene's size from its screen size.
    const int width = blur.width, height = blur.height;
    blur.width = sceneWidth;
    blur.height = sceneHeight;
    blur.render(playerSpeed);
    blur.width = width;
    blur.height = height;
}

void scaleUpScene(const FBORenderer& quad, bool blurred, int sceneWidth, int sceneHeight, int windowWidth,
                  int windowHeight) {
    glUseProgram(scaleUpProgram);
    glBindVertexArray(quad.vao);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glUniform1i(glGetUniformLocation(scaleUpProgram, "colorTexture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, blurred ? scaledBlurTexture : sceneColorTexture);
    glBindSampler(0, bilinearSampler);
    glUniform2f(glGetUniformLocation(scaleUpProgram, "sceneSize"), float(sceneWidth), float(sceneHeight));
    glUniform2f(glGetUniformLocation(scaleUpProgram, "screenDimensions"), float(windowWidth), float(windowHeight));
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    glBindSampler(0, 0);
    glBindVertexArray(0);
    glUseProgram(0);
}
