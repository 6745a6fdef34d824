#pragma once

#include <GL/glew.h>

#include "render/ShaderFailure.h"

class FBORenderer;

// Creates the scene and light-map textures and frame buffers (window size
// from gameSettings) and prints their status lines.
void createFramebuffers();
// Gives the motion-blur frame buffer's colour, data and depth targets a new
// size (the window's framebuffer was resized).
void resizeSceneTargets(int width, int height);
// createFramebuffers and the four renderers in order with their console
// lines; returns the motion-blur renderer (owned by the caller). The
// programs, targets and the other passes belong to RenderResources.
// Null when a pass program cannot be built, with the reason in `failure`.
FBORenderer* setUpPostProcessing(ShaderFailure& failure);
// Bakes a light map from a 512x512 RGB level map into lightMapTexture and
// returns it.
GLuint bakeLightMap(const unsigned char* rgb512);
// Binds motionBlurFramebuffer as the draw target with both outputs and
// clears colour and depth.
void bindMotionBlurTarget();
// Binds the window as the draw target.
void bindDefaultTarget();

// The scene at a share of the window: bindMotionBlurTarget, drawing into its
// lower-left width x height only.
void bindScaledSceneTarget(int width, int height);
// Only the colour output of the scene target is written from here on (the
// transparent pass leaves the motion data as the opaque pass made it).
void sceneTargetColourOnly();
// Blurs the lower-left sceneWidth x sceneHeight of the scene target with
// `blur` at `playerSpeed` into the same part of a spare target of the
// window's size, with that viewport; `clearFirst` clears it before (a pass
// drawn as lines leaves the rest of it alone).
void blurScaledScene(FBORenderer& blur, float playerSpeed, int sceneWidth, int sceneHeight, bool clearFirst);
// Puts the lower-left sceneWidth x sceneHeight of the scene target, or of
// the spare one when `blurred`, on the whole of the bound draw target of
// windowWidth x windowHeight, one bilinear sample a pixel, with the quad of
// `quad`; the caller sets the window's viewport.
void scaleUpScene(const FBORenderer& quad, bool blurred, int sceneWidth, int sceneHeight, int windowWidth,
                  int windowHeight);

extern FBORenderer* lightMapRenderer;
extern FBORenderer* gaussRenderer;
extern GLuint sceneColorTexture, sceneDataTexture, lightMapTexture, lightMapSourceTexture, motionBlurFramebuffer,
    lightMapFramebuffer;
