#include "render/SamplingState.h"

#include <GL/glew.h>

#include "core/RenderSettings.h"

void applySamplingState() {
    const RenderSettings& settings = RenderSettings::instance();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, settings.textureSampling == TextureSampling::Nearest ? GL_NEAREST : GL_LINEAR);
    GLint minFilter = GL_LINEAR_MIPMAP_LINEAR;
    if (settings.mipMapping == MipMapping::Off) minFilter = GL_LINEAR;
    else if (settings.mipMapping == MipMapping::Nearest) minFilter = GL_LINEAR_MIPMAP_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
}
