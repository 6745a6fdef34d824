#include "effects/DdsTexture.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/GlContext.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// "DDS " and a 124-byte header with the fields the loader reads, then `data`.
Bytes ddsFile(const char* fourCC, uint32_t width, uint32_t height, uint32_t linearSize, uint32_t mipMapCount,
              const Bytes& data) {
    Bytes file(128, 0);
    std::copy_n("DDS ", 4, file.begin());
    put32(file, 4, 124);
    put32(file, 4 + 8, height);
    put32(file, 4 + 12, width);
    put32(file, 4 + 16, linearSize);
    put32(file, 4 + 24, mipMapCount);
    put32(file, 4 + 72, 32);  // pixel format size
    std::copy_n(fourCC, 4, file.begin() + 4 + 80);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

Bytes repeated(const Bytes& block, size_t times) {
    Bytes out;
    for (size_t i = 0; i < times; ++i) out.insert(out.end(), block.begin(), block.end());
    return out;
}

// Solid colours: DXT1 red, DXT3 green, DXT5 blue, all opaque.
const Bytes redDxt1 = {0x00, 0xF8, 0x00, 0x00, 0, 0, 0, 0};
const Bytes greenDxt3 = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xE0, 0x07, 0x00, 0x00, 0, 0, 0, 0};
const Bytes blueDxt5 = {0xFF, 0x00, 0, 0, 0, 0, 0, 0, 0x1F, 0x00, 0x00, 0x00, 0, 0, 0, 0};

class DdsGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(GLEW_EXT_texture_compression_s3tc) << "the driver cannot sample S3TC textures";
    }

    // Loads `bytes` from a file called `name`; `printed` gets the console output.
    GLuint load(const Bytes& bytes, const std::string& name = "font.dds") {
        std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        FILE* file = std::fopen(path.c_str(), "rb");
        EXPECT_NE(file, nullptr);
        testing::internal::CaptureStdout();
        GLuint texture = loadDdsTexture(file, name.c_str());
        std::fflush(stdout);
        printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return texture;
    }

    GLint levelParameter(GLuint texture, GLint level, GLenum name) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
        return value;
    }

    Bytes rgba(GLuint texture, GLint level) {
        GLint width = levelParameter(texture, level, GL_TEXTURE_WIDTH);
        GLint height = levelParameter(texture, level, GL_TEXTURE_HEIGHT);
        Bytes out(size_t(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    TempDir dir;
    std::string printed;
};

TEST_F(DdsGlTest, SingleLevelDxt1ReadsExactlyTheLinearSize) {
    // Bytes past the linear size must be neither read nor uploaded.
    Bytes data = repeated(redDxt1, 4);
    data.resize(data.size() + 64, 0xAB);
    GLuint texture = load(ddsFile("DXT1", 8, 8, 32, 1, data));
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGBA_S3TC_DXT1_EXT);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE), 32);
    EXPECT_EQ(levelParameter(texture, 1, GL_TEXTURE_WIDTH), 0);
    Bytes pixels = rgba(texture, 0);
    ASSERT_EQ(pixels.size(), 8u * 8u * 4u);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i], 255);
        ASSERT_EQ(pixels[i + 1], 0);
        ASSERT_EQ(pixels[i + 2], 0);
        ASSERT_EQ(pixels[i + 3], 255);
    }
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
}

TEST_F(DdsGlTest, Dxt3ChainShorterThanTwiceTheLinearSizeLoadsEveryLevel) {
    // 16 x 16 down to 1 x 1: 256 + 64 + 16 + 16 + 16 bytes, less than the 512 the loader asks for.
    Bytes data = repeated(greenDxt3, 16 + 4 + 1 + 1 + 1);
    GLuint texture = load(ddsFile("DXT3", 16, 16, 256, 5, data));
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(printed, "");
    const GLint sizes[] = {256, 64, 16, 16, 16};
    for (GLint level = 0; level < 5; ++level) {
        EXPECT_EQ(levelParameter(texture, level, GL_TEXTURE_WIDTH), 16 >> level);
        EXPECT_EQ(levelParameter(texture, level, GL_TEXTURE_COMPRESSED_IMAGE_SIZE), sizes[level]);
    }
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGBA_S3TC_DXT3_EXT);
    Bytes smallest = rgba(texture, 4);
    EXPECT_EQ(smallest, (Bytes{0, 255, 0, 255}));
    // No filters are set: the driver's mip-mapped default stays.
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_NEAREST_MIPMAP_LINEAR);

    // Decoded, every level keeps its pixels.
    std::vector<Bytes> levels;
    for (GLint level = 0; level < 5; ++level) levels.push_back(rgba(texture, level));
    const GLuint plain = decodedCopy(texture);
    ASSERT_NE(plain, 0u);
    EXPECT_EQ(glIsTexture(texture), GL_FALSE);
    EXPECT_EQ(levelParameter(plain, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    for (GLint level = 0; level < 5; ++level) EXPECT_EQ(rgba(plain, level), levels[size_t(level)]) << level;
    GLint maxLevel = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &maxLevel);
    EXPECT_EQ(maxLevel, 4);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(DdsGlTest, FontSizedDxt1UploadsItsNineLevelSizes) {
    const GLint sizes[] = {32768, 8192, 2048, 512, 128, 32, 8, 8, 8};
    Bytes data = repeated(redDxt1, 43704 / 8);
    GLuint texture = load(ddsFile("DXT1", 256, 256, 32768, 9, data));
    ASSERT_NE(texture, 0u);
    GLint total = 0;
    for (GLint level = 0; level < 9; ++level) {
        GLint size = levelParameter(texture, level, GL_TEXTURE_COMPRESSED_IMAGE_SIZE);
        EXPECT_EQ(size, sizes[level]) << "level " << level;
        total += size;
    }
    EXPECT_EQ(total, 43704);
}

TEST_F(DdsGlTest, Dxt5IsReadWithItsAlpha) {
    GLuint texture = load(ddsFile("DXT5", 4, 4, 16, 1, blueDxt5));
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGBA_S3TC_DXT5_EXT);
    Bytes pixels = rgba(texture, 0);
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 4), (Bytes{0, 0, 255, 255}));
}

TEST_F(DdsGlTest, MipCountsBeyondTheImageStopAtOneByOne) {
    // 8 x 8 down to 1 x 1 is 32 + 8 + 8 + 8 bytes, within the 64 read.
    GLuint texture = load(ddsFile("DXT1", 8, 8, 32, 40, repeated(redDxt1, 8)));
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(levelParameter(texture, 3, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(levelParameter(texture, 4, GL_TEXTURE_WIDTH), 0);
}

TEST_F(DdsGlTest, NoLevelsGiveATextureWithoutImage) {
    GLuint texture = load(ddsFile("DXT1", 8, 8, 32, 0, {}));
    EXPECT_NE(texture, 0u);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), 0);
    GLuint empty = load(ddsFile("DXT5", 0, 0, 0, 3, {}));
    EXPECT_NE(empty, 0u);
    GLuint flat = load(ddsFile("DXT1", 4, 0, 8, 3, repeated(redDxt1, 3)));
    EXPECT_NE(flat, 0u);
    EXPECT_EQ(levelParameter(flat, 1, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(printed, "");
}

TEST_F(DdsGlTest, ForeignFilesAreRefusedQuietly) {
    Bytes notDds = ddsFile("DXT1", 4, 4, 8, 1, redDxt1);
    notDds[3] = 'X';
    EXPECT_EQ(load(notDds), 0u);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(load(ddsFile("DXT2", 4, 4, 16, 1, greenDxt3)), 0u);
    EXPECT_EQ(load(ddsFile("ATI2", 4, 4, 16, 1, greenDxt3)), 0u);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(load(Bytes{'D', 'D'}), 0u);
    EXPECT_EQ(loadDdsTexture(nullptr, "none.dds"), 0u);
}

TEST_F(DdsGlTest, DamagedFilesGiveNoTextureAndNameTheFile) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    Bytes full = ddsFile("DXT5", 16, 16, 256, 5, repeated(blueDxt5, 23));
    const Case cases[] = {
        {"header cut short", Bytes(full.begin(), full.begin() + 60)},
        {"top level cut short", Bytes(full.begin(), full.begin() + 128 + 200)},
        {"linear size smaller than the top level", ddsFile("DXT5", 16, 16, 64, 1, repeated(blueDxt5, 16))},
        {"sizes that fit no memory", ddsFile("DXT1", 0x40000000, 0x40000000, 0xFFFFFFFF, 31, repeated(redDxt1, 4))},
        {"image wider than any texture", ddsFile("DXT1", 1u << 20, 4, 1u << 21, 1, repeated(redDxt1, 1u << 18))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(load(c.bytes, "broken.dds"), 0u);
        EXPECT_NE(printed.find("broken.dds"), std::string::npos) << printed;
        EXPECT_EQ(printed.back(), '\n');
    }
    // Without a name the message still says what was read.
    std::string path = dir.file("cut.dds");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(full.data()), 60);
    testing::internal::CaptureStdout();
    EXPECT_EQ(loadDdsTexture(std::fopen(path.c_str(), "rb")), 0u);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("DDS"), std::string::npos);
}

TEST_F(DdsGlTest, MipChainLongerThanTheDataKeepsTheLevelsThatFit) {
    // 16 x 16 down to 1 x 1 needs 256 + 64 + 16 + 16 + 16 bytes; the data holds
    // the first three levels and half of the fourth.
    GLuint texture = load(ddsFile("DXT5", 16, 16, 256, 5, repeated(blueDxt5, 16 + 4 + 1)), "short.dds");
    ASSERT_NE(texture, 0u);
    EXPECT_NE(printed.find("short.dds"), std::string::npos) << printed;
    EXPECT_EQ(levelParameter(texture, 2, GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(levelParameter(texture, 3, GL_TEXTURE_WIDTH), 0);
    GLint maxLevel = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &maxLevel);
    EXPECT_EQ(maxLevel, 2);
    // The levels it has keep their pixels.
    EXPECT_EQ(rgba(texture, 2), repeated(Bytes{0, 0, 255, 255}, 16));
}

TEST_F(DdsGlTest, GameFontLoadsWhenPresent) {
    FILE* file = std::fopen("Holstein.DDS", "rb");
    if (!file) GTEST_SKIP() << "Holstein.DDS is not in data/ yet";
    GLuint texture = loadDdsTexture(file, "Holstein.DDS");
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGBA_S3TC_DXT5_EXT);
    GLint width = levelParameter(texture, 0, GL_TEXTURE_WIDTH);
    EXPECT_GE(width, 16);
    EXPECT_EQ(width % 16, 0);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_HEIGHT), width);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
