#include "render/RenderResources.h"

#include "effects/BillboardNode.h"
#include "render/GeometryNode.h"
#include "render/LightRegistry.h"
#include "render/Mesh.h"
#include "render/PlainTexture.h"
#include "render/PostProcessing.h"

void forgetRenderResources() {
    basicShader = 0;
    textureCache.clear();
    // The old renderers' GL names died with their context; deleting them now
    // could free objects of the new one.
    lightMapRenderer = nullptr;
    gaussRenderer = nullptr;
    sceneColorTexture = sceneDataTexture = lightMapTexture = lightMapSourceTexture = 0;
    motionBlurFramebuffer = lightMapFramebuffer = 0;
    lightRegistry.clear();
    forgetPlainWhiteTexture();
    forgetSharedSnowflakeTexture();
}
