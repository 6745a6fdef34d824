#include "effects/DdsTexture.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

const uint32_t FOURCC_DXT1 = 0x31545844;  // "DXT1" read little-endian
const uint32_t FOURCC_DXT3 = 0x33545844;
const uint32_t FOURCC_DXT5 = 0x35545844;

uint32_t readLittle32(const unsigned char* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

void reportDamaged(const char* fileName, const char* why) {
    std::printf("%s: %s\n", fileName ? fileName : "DDS file", why);
}

// Reads up to `wanted` bytes, growing the buffer only as data actually
// arrives, so a header that claims gigabytes costs no more than the file.
void readUpTo(FILE* file, uint64_t wanted, std::vector<unsigned char>& data) {
    const uint64_t chunk = 1 << 20;
    data.clear();
    while (data.size() < wanted) {
        uint64_t step = wanted - data.size();
        if (step > chunk) step = chunk;
        size_t start = data.size();
        data.resize(start + step);
        size_t got = std::fread(data.data() + start, 1, step, file);
        if (got < step) {
            data.resize(start + got);
            return;
        }
    }
}

uint64_t levelSize(uint32_t width, uint32_t height, unsigned blockSize) {
    return ((uint64_t(width) + 3) / 4) * ((uint64_t(height) + 3) / 4) * blockSize;
}

uint32_t halved(uint32_t size) { return size / 2 > 0 ? size / 2 : 1; }

}  // namespace

GLuint loadDdsTexture(FILE* file, const char* fileName) {
    if (!file) return 0;

    char magic[4];
    if (std::fread(magic, 1, 4, file) != 4 || std::strncmp(magic, "DDS ", 4) != 0) {
        std::fclose(file);
        return 0;
    }

    unsigned char header[124];
    if (std::fread(header, 1, sizeof header, file) != sizeof header) {
        std::fclose(file);
        reportDamaged(fileName, "the DDS header is cut short, no texture");
        return 0;
    }
    uint32_t height = readLittle32(header + 8);
    uint32_t width = readLittle32(header + 12);
    uint32_t linearSize = readLittle32(header + 16);
    uint32_t mipMapCount = readLittle32(header + 24);
    uint32_t fourCC = readLittle32(header + 80);

    // The top level and, with mip-maps, room for the rest of the chain; a
    // full chain of a well-formed file needs less than that.
    uint64_t dataSize = mipMapCount > 1 ? uint64_t(linearSize) * 2 : uint64_t(linearSize);
    std::vector<unsigned char> data;
    readUpTo(file, dataSize, data);
    std::fclose(file);

    GLenum format;
    unsigned blockSize = 16;
    switch (fourCC) {
        case FOURCC_DXT1:
            format = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
            blockSize = 8;
            break;
        case FOURCC_DXT3:
            format = GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
            break;
        case FOURCC_DXT5:
            format = GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
            break;
        default:
            return 0;
    }

    // A full chain ends at 1 x 1; levels past that are no part of the image.
    uint32_t chainLength = 1;
    for (uint32_t larger = width > height ? width : height; larger > 1; larger /= 2) ++chainLength;
    uint32_t levels = mipMapCount < chainLength ? mipMapCount : chainLength;
    // An image without pixels has no levels: a chain that starts at 4 x 0
    // would go on at 2 x 1, which is no mip chain of it.
    if (width == 0 || height == 0) levels = 0;

    if (levels > 0) {
        GLint maxSize = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
        if (maxSize <= 0 || width > uint32_t(maxSize) || height > uint32_t(maxSize)) {
            reportDamaged(fileName, "the DDS image is larger than this graphics driver allows, no texture");
            return 0;
        }
        if (levelSize(width, height, blockSize) > data.size()) {
            reportDamaged(fileName, "the DDS file holds less image data than its header says, no texture");
            return 0;
        }
        // Mip-maps beyond the data read are left out; the levels that fit
        // still make a texture.
        uint64_t needed = 0;
        uint32_t fitting = 0;
        for (uint32_t w = width, h = height; fitting < levels; ++fitting, w = halved(w), h = halved(h)) {
            needed += levelSize(w, h, blockSize);
            if (needed > data.size()) break;
        }
        if (fitting < levels) {
            const std::string why = "the DDS mip-maps need more data than the file holds, " + std::to_string(fitting) +
                                    " of " + std::to_string(levels) + " levels used";
            reportDamaged(fileName, why.c_str());
            levels = fitting;
        }
    }

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    uint64_t offset = 0;
    for (uint32_t level = 0; level < levels; ++level) {
        uint64_t size = levelSize(width, height, blockSize);
        glCompressedTexImage2D(GL_TEXTURE_2D, level, format, width, height, 0, GLsizei(size), data.data() + offset);
        offset += size;
        width = halved(width);
        height = halved(height);
    }
    // A chain cut short of 1 x 1 still samples as a complete texture.
    if (levels > 0) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(levels - 1));
    return texture;
}

GLuint decodedCopy(GLuint texture) {
    if (texture == 0) return 0;
    GLuint copy = 0;
    glGenTextures(1, &copy);
    std::vector<unsigned char> pixels;
    GLint maxLevel = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &maxLevel);
    GLint level = 0;
    for (; level <= maxLevel; ++level) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width <= 0 || height <= 0) break;
        pixels.resize(size_t(width) * size_t(height) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glBindTexture(GL_TEXTURE_2D, copy);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }
    // A texture without an image stays as it was.
    if (level == 0) {
        glDeleteTextures(1, &copy);
        return texture;
    }
    glBindTexture(GL_TEXTURE_2D, copy);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, level - 1);
    glDeleteTextures(1, &texture);
    return copy;
}
