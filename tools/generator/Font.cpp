#include "Font.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace font {

const char* const sourceFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

namespace {

constexpr int atlasSize = 512;
constexpr int cell = 32;
constexpr int oversample = 4;     // glyphs are drawn 4x larger, then averaged down
constexpr int emPixels = 28;      // em size in atlas pixels
constexpr int baseline = 24;      // from the top of a cell
constexpr double widen = 1.45;    // monospace glyphs are narrow for a square cell

class FreeTypeFace
{
public:
    explicit FreeTypeFace(int pixelSize, double xScale)
    {
        if (FT_Init_FreeType(&library) != 0) {
            std::printf("FreeType could not be initialised\n");
            return;
        }
        if (FT_New_Face(library, sourceFont, 0, &face) != 0) {
            std::printf("cannot open the font %s (install fonts-dejavu-core)\n", sourceFont);
            face = nullptr;
            return;
        }
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));
        FT_Matrix matrix;
        matrix.xx = FT_Fixed(xScale * 65536.0);
        matrix.xy = 0;
        matrix.yx = 0;
        matrix.yy = 0x10000;
        FT_Set_Transform(face, &matrix, nullptr);
    }
    ~FreeTypeFace()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    bool ok() const { return face != nullptr; }
    // Renders a character; null if it has no glyph.
    FT_GlyphSlot render(unsigned long code)
    {
        if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0)
            return nullptr;
        return face->glyph;
    }

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

uint16_t to565(int r, int g, int b)
{
    return uint16_t(((r * 31 + 127) / 255) << 11 | ((g * 63 + 127) / 255) << 5 | ((b * 31 + 127) / 255));
}

void from565(uint16_t c, int& r, int& g, int& b)
{
    r = ((c >> 11) & 31) * 255 / 31;
    g = ((c >> 5) & 63) * 255 / 63;
    b = (c & 31) * 255 / 31;
}

std::vector<Image> mipChain(const Image& top)
{
    std::vector<Image> chain{top};
    while (chain.back().w > 1 || chain.back().h > 1) {
        const Image& prev = chain.back();
        Image next(std::max(1, prev.w / 2), std::max(1, prev.h / 2), 4);
        for (int y = 0; y < next.h; ++y)
            for (int x = 0; x < next.w; ++x)
                for (int k = 0; k < 4; ++k) {
                    int sum = 0;
                    for (int dy = 0; dy < 2; ++dy)
                        for (int dx = 0; dx < 2; ++dx)
                            sum += prev.at(std::min(prev.w - 1, 2 * x + dx), std::min(prev.h - 1, 2 * y + dy))[k];
                    next.at(x, y)[k] = uint8_t((sum + 2) / 4);
                }
        chain.push_back(next);
    }
    return chain;
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        out.push_back(uint8_t(v >> (8 * k)));
}

} // namespace

void encodeDxt5Block(const uint8_t rgba[64], uint8_t out[16])
{
    // Alpha: two end points with six values between them.
    int aMin = 255, aMax = 0;
    for (int p = 0; p < 16; ++p) {
        aMin = std::min(aMin, int(rgba[p * 4 + 3]));
        aMax = std::max(aMax, int(rgba[p * 4 + 3]));
    }
    int palette[8] = {aMax, aMin, 0, 0, 0, 0, 0, 0};
    for (int k = 1; k <= 6; ++k)
        palette[k + 1] = ((7 - k) * aMax + k * aMin) / 7;
    uint64_t alphaBits = 0;
    for (int p = 0; p < 16; ++p) {
        const int a = rgba[p * 4 + 3];
        int best = 0;
        for (int k = 1; k < 8; ++k)
            if (std::abs(palette[k] - a) < std::abs(palette[best] - a))
                best = k;
        alphaBits |= uint64_t(best) << (3 * p);
    }
    out[0] = uint8_t(aMax);
    out[1] = uint8_t(aMin);
    for (int k = 0; k < 6; ++k)
        out[2 + k] = uint8_t(alphaBits >> (8 * k));

    // Colour: the corners of the bounding box, always in four-colour order
    // (first end point larger), whatever the decoder does with equal ones.
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (int p = 0; p < 16; ++p)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], int(rgba[p * 4 + k]));
            hi[k] = std::max(hi[k], int(rgba[p * 4 + k]));
        }
    uint16_t c0 = to565(hi[0], hi[1], hi[2]);
    uint16_t c1 = to565(lo[0], lo[1], lo[2]);
    if (c0 < c1)
        std::swap(c0, c1);
    if (c0 == c1) {
        if (c0 > 0)
            c1 = uint16_t(c0 - 1);
        else
            c0 = 1;
    }
    int colours[4][3];
    from565(c0, colours[0][0], colours[0][1], colours[0][2]);
    from565(c1, colours[1][0], colours[1][1], colours[1][2]);
    for (int k = 0; k < 3; ++k) {
        colours[2][k] = (2 * colours[0][k] + colours[1][k]) / 3;
        colours[3][k] = (colours[0][k] + 2 * colours[1][k]) / 3;
    }
    uint32_t colourBits = 0;
    for (int p = 0; p < 16; ++p) {
        int best = 0, bestError = 1 << 30;
        for (int k = 0; k < 4; ++k) {
            int error = 0;
            for (int ch = 0; ch < 3; ++ch) {
                const int e = colours[k][ch] - rgba[p * 4 + ch];
                error += e * e;
            }
            if (error < bestError) {
                bestError = error;
                best = k;
            }
        }
        colourBits |= uint32_t(best) << (2 * p);
    }
    out[8] = uint8_t(c0);
    out[9] = uint8_t(c0 >> 8);
    out[10] = uint8_t(c1);
    out[11] = uint8_t(c1 >> 8);
    for (int k = 0; k < 4; ++k)
        out[12 + k] = uint8_t(colourBits >> (8 * k));
}

bool rasterizeAtlas(Image& atlas)
{
    FreeTypeFace face(emPixels * oversample, widen);
    if (!face.ok())
        return false;
    atlas = Image(atlasSize, atlasSize, 4);
    for (size_t i = 0; i < atlas.px.size(); i += 4)
        atlas.px[i] = atlas.px[i + 1] = atlas.px[i + 2] = 255; // white everywhere; alpha is the glyph
    const int big = cell * oversample;
    for (int code = 33; code < 127; ++code) {
        FT_GlyphSlot glyph = face.render(FT_ULong(code));
        if (!glyph)
            continue;
        std::vector<int> coverage(size_t(big) * big, 0);
        const int advance = int(glyph->advance.x >> 6);
        const int left = (big - advance) / 2 + glyph->bitmap_left;
        const int top = baseline * oversample - glyph->bitmap_top;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned y = 0; y < bitmap.rows; ++y)
            for (unsigned x = 0; x < bitmap.width; ++x) {
                const int bx = left + int(x), by = top + int(y);
                if (bx >= 0 && by >= 0 && bx < big && by < big)
                    coverage[size_t(by) * big + bx] = bitmap.buffer[y * unsigned(bitmap.pitch) + x];
            }
        const int cx = (code % 16) * cell, cy = (code / 16) * cell;
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x) {
                int sum = 0;
                for (int dy = 0; dy < oversample; ++dy)
                    for (int dx = 0; dx < oversample; ++dx)
                        sum += coverage[size_t(y * oversample + dy) * big + x * oversample + dx];
                atlas.at(cx + x, cy + y)[3] = uint8_t((sum + oversample * oversample / 2) / (oversample * oversample));
            }
    }
    return true;
}

bool write(const std::string& dataDir, const std::string& previewDir)
{
    Image atlas;
    if (!rasterizeAtlas(atlas))
        return false;
    const std::vector<Image> chain = mipChain(atlas);

    std::vector<uint8_t> file;
    file.insert(file.end(), {'D', 'D', 'S', ' '});
    const uint32_t linearSize = uint32_t((atlasSize / 4) * (atlasSize / 4) * 16);
    put32(file, 124);                              // header size
    put32(file, 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | 0x80000); // caps, height, width, pixel format, mip count, linear size
    put32(file, atlasSize);                        // height
    put32(file, atlasSize);                        // width
    put32(file, linearSize);
    put32(file, 0);                                // depth
    put32(file, uint32_t(chain.size()));           // mip-map count
    for (int k = 0; k < 11; ++k)
        put32(file, 0);
    put32(file, 32);                               // pixel format size
    put32(file, 0x4);                              // four-CC given
    file.insert(file.end(), {'D', 'X', 'T', '5'});
    for (int k = 0; k < 5; ++k)
        put32(file, 0);
    put32(file, 0x1000 | 0x8 | 0x400000);          // texture, complex, mip-map
    for (int k = 0; k < 4; ++k)
        put32(file, 0);

    for (const Image& level : chain) {
        for (int by = 0; by < (level.h + 3) / 4; ++by)
            for (int bx = 0; bx < (level.w + 3) / 4; ++bx) {
                uint8_t block[64];
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 4; ++x)
                        std::memcpy(&block[(y * 4 + x) * 4],
                                    level.at(std::min(level.w - 1, bx * 4 + x), std::min(level.h - 1, by * 4 + y)), 4);
                uint8_t encoded[16];
                encodeDxt5Block(block, encoded);
                file.insert(file.end(), encoded, encoded + 16);
            }
    }
    const std::string path = dataDir + "/Holstein.DDS";
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size()) {
        std::printf("cannot write %s\n", path.c_str());
        if (out)
            std::fclose(out);
        return false;
    }
    std::fclose(out);
    std::printf("wrote %s: %zu mip levels, %zu bytes\n", path.c_str(), chain.size(), file.size());

    if (!previewDir.empty()) {
        Image preview(atlasSize, atlasSize, 3);
        for (int y = 0; y < atlasSize; ++y)
            for (int x = 0; x < atlasSize; ++x) {
                const bool odd = ((x / cell) + (y / cell)) % 2;
                const float a = atlas.at(x, y)[3] / 255.0f;
                preview.set(x, y, odd ? 40 : 55, odd ? 40 : 55, odd ? 60 : 75);
                preview.blend(x, y, 255, 255, 255, a);
            }
        if (!makeDirectories(previewDir) || !writePng(previewDir + "/font.png", preview))
            return false;
    }
    return true;
}

} // namespace font

void drawLabel(Image& image, int x, int y, const std::string& text, int pixelSize)
{
    font::FreeTypeFace face(pixelSize, 1.0);
    if (!face.ok())
        return;
    int pen = x;
    for (char ch : text) {
        FT_GlyphSlot glyph = face.render(FT_ULong(static_cast<unsigned char>(ch)));
        if (!glyph)
            continue;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned by = 0; by < bitmap.rows; ++by)
            for (unsigned bx = 0; bx < bitmap.width; ++bx)
                image.blend(pen + glyph->bitmap_left + int(bx), y - glyph->bitmap_top + int(by), 255, 255, 255,
                            bitmap.buffer[by * unsigned(bitmap.pitch) + bx] / 255.0f);
        pen += int(glyph->advance.x >> 6);
    }
}
