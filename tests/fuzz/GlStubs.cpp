// The GL 1.1 entry points are defined here, so the fuzz target's own
// definitions are the ones the loader calls; later entry points go through
// GLEW's function pointers, which installGlStubs sets.
#include "GlStubs.h"

#include <GL/glew.h>

#include "FuzzCheck.h"

namespace {

GLuint nextName = 0;
int levels = 0;
GLsizei topWidth = 0, topHeight = 0;

GLsizei mipSide(GLsizei top, int level) {
    GLsizei side = top >> level;
    return side > 0 ? side : 1;
}

void GLAPIENTRY compressedTexImage2D(GLenum target, GLint level, GLenum format, GLsizei width, GLsizei height,
                                     GLint border, GLsizei imageSize, const void* data) {
    FUZZ_CHECK(target == GL_TEXTURE_2D && border == 0 && data != nullptr);
    FUZZ_CHECK(level == levels);
    if (level == 0) {
        topWidth = width;
        topHeight = height;
    }
    FUZZ_CHECK(width == mipSide(topWidth, level) && height == mipSide(topHeight, level));
    const long long blockBytes = format == GL_COMPRESSED_RGBA_S3TC_DXT1_EXT ? 8 : 16;
    FUZZ_CHECK(format == GL_COMPRESSED_RGBA_S3TC_DXT1_EXT || format == GL_COMPRESSED_RGBA_S3TC_DXT3_EXT ||
               format == GL_COMPRESSED_RGBA_S3TC_DXT5_EXT);
    FUZZ_CHECK(imageSize == (width + 3LL) / 4 * ((height + 3LL) / 4) * blockBytes);
    // Every byte of the level is read, as a driver would; the sanitizer
    // catches a level that runs past the loader's buffer.
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    volatile unsigned sum = 0;
    for (GLsizei k = 0; k < imageSize; ++k) sum = sum + bytes[k];
    ++levels;
}

}  // namespace

extern "C" {

void GLAPIENTRY glGetIntegerv(GLenum pname, GLint* params) { *params = pname == GL_MAX_TEXTURE_SIZE ? 16384 : 0; }

void GLAPIENTRY glGenTextures(GLsizei n, GLuint* textures) {
    for (GLsizei k = 0; k < n; ++k) textures[k] = ++nextName;
}

void GLAPIENTRY glBindTexture(GLenum, GLuint) {}

void GLAPIENTRY glPixelStorei(GLenum, GLint) {}

void GLAPIENTRY glTexParameteri(GLenum, GLenum, GLint) {}

}  // extern "C"

void installGlStubs() { __glewCompressedTexImage2D = compressedTexImage2D; }

void resetGlStubs() { levels = 0; }

int uploadedLevels() { return levels; }
