// Reads the shipped font the way the game's DDS loader does and decodes its
// DXT5 blocks to check the glyph grid.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

uint32_t read32(const std::vector<uint8_t>& data, size_t at)
{
    return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 | uint32_t(data[at + 3]) << 24;
}

std::vector<uint8_t> readFont()
{
    std::ifstream in(std::string(MOORGLIDE_DATA_DIR) + "/Holstein.DDS", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Alpha of texel (x, y) of a DXT5 level `width` texels wide starting at `data`.
int alphaAt(const uint8_t* data, int width, int x, int y)
{
    const uint8_t* block = data + size_t((y / 4) * ((width + 3) / 4) + x / 4) * 16;
    const int a0 = block[0], a1 = block[1];
    uint64_t bits = 0;
    for (int k = 0; k < 6; ++k)
        bits |= uint64_t(block[2 + k]) << (8 * k);
    const int index = int(bits >> (3 * ((y % 4) * 4 + x % 4))) & 7;
    if (index == 0)
        return a0;
    if (index == 1)
        return a1;
    if (a0 > a1)
        return ((8 - index) * a0 + (index - 1) * a1) / 7;
    if (index == 6)
        return 0;
    if (index == 7)
        return 255;
    return ((6 - index) * a0 + (index - 1) * a1) / 5;
}

// Mean alpha over a rectangle of a 32-pixel cell of the top level.
double coverage(const uint8_t* top, int code, int x0, int y0, int x1, int y1)
{
    const int cx = (code % 16) * 32, cy = (code / 16) * 32;
    double sum = 0.0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            sum += alphaAt(top, 512, cx + x, cy + y);
    return sum / ((x1 - x0) * (y1 - y0) * 255.0);
}

} // namespace

TEST(FontFile, HeaderAsTheLoaderReadsIt)
{
    const std::vector<uint8_t> file = readFont();
    ASSERT_GT(file.size(), 128u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "DDS ");
    const uint32_t height = read32(file, 4 + 8), width = read32(file, 4 + 12);
    const uint32_t linearSize = read32(file, 4 + 16), mipCount = read32(file, 4 + 24);
    EXPECT_EQ(std::string(file.begin() + 4 + 80, file.begin() + 4 + 84), "DXT5");
    EXPECT_EQ(width, 512u);
    EXPECT_EQ(height, 512u);
    EXPECT_EQ(linearSize, 128u * 128u * 16u);
    EXPECT_EQ(mipCount, 10u); // 512 down to 1

    // Every level fits in what the loader reads (twice the top level), and
    // the file holds exactly the chain.
    size_t total = 0;
    for (uint32_t level = 0, w = width, h = height; level < mipCount; ++level, w = std::max(1u, w / 2), h = std::max(1u, h / 2))
        total += ((w + 3) / 4) * ((h + 3) / 4) * 16;
    EXPECT_LE(total, 2u * linearSize);
    EXPECT_EQ(file.size(), 128u + total);
}

TEST(FontFile, GlyphsSitInTheAsciiGrid)
{
    const std::vector<uint8_t> file = readFont();
    ASSERT_GE(file.size(), 128u + 128u * 128u * 16u);
    const uint8_t* top = file.data() + 128;
    // Blank cells: control codes, the space, and the upper half of the grid.
    for (int code : {0, 10, 31, 32, 127, 128, 200, 255})
        EXPECT_EQ(coverage(top, code, 0, 0, 32, 32), 0.0) << code;
    // Printable characters have ink, and the heavy ones more than the light.
    for (int code = 33; code < 127; ++code)
        EXPECT_GT(coverage(top, code, 0, 0, 32, 32), 0.01) << char(code);
    EXPECT_GT(coverage(top, 'W', 0, 0, 32, 32), coverage(top, '.', 0, 0, 32, 32) * 3.0);
    // Row 0 of the picture is the top: the bar of a T is at the cell's top,
    // an underscore at its bottom, a full stop low.
    EXPECT_GT(coverage(top, 'T', 0, 0, 32, 10), coverage(top, 'T', 0, 20, 32, 32) * 2.0);
    EXPECT_GT(coverage(top, '_', 0, 24, 32, 32), 0.1);
    EXPECT_EQ(coverage(top, '_', 0, 0, 32, 16), 0.0);
    EXPECT_GT(coverage(top, '.', 0, 16, 32, 32), coverage(top, '.', 0, 0, 32, 16));
    // Glyphs stay inside their cells: the left and right edge columns are
    // empty for letters, so neighbours never bleed into each other.
    for (int code : {'A', 'M', 'W', 'm', 'w', '0', '8'}) {
        EXPECT_EQ(coverage(top, code, 0, 0, 1, 32), 0.0) << char(code);
        EXPECT_EQ(coverage(top, code, 31, 0, 32, 32), 0.0) << char(code);
    }
}

TEST(FontFile, TextureIsWhiteWithSoftEdges)
{
    const std::vector<uint8_t> file = readFont();
    ASSERT_GE(file.size(), 128u + 128u * 128u * 16u);
    const uint8_t* top = file.data() + 128;
    int partial = 0;
    for (size_t block = 0; block < 128u * 128u; ++block) {
        const uint8_t* b = top + block * 16;
        // Colour end point 0 is white; every texel picks it.
        const uint16_t c0 = uint16_t(b[8] | b[9] << 8);
        const uint16_t c1 = uint16_t(b[10] | b[11] << 8);
        ASSERT_EQ(c0, 0xFFFF);
        ASSERT_GT(c0, c1); // four-colour order
        ASSERT_EQ(read32(file, 128 + block * 16 + 12), 0u);
    }
    const int cx = ('O' % 16) * 32, cy = ('O' / 16) * 32;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int a = alphaAt(top, 512, cx + x, cy + y);
            partial += a > 20 && a < 235 ? 1 : 0;
        }
    EXPECT_GT(partial, 10); // anti-aliased rim, not a hard mask
}
