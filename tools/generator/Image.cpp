#include "Image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <lodepng.h>

void Image::set(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    uint8_t* p = at(x, y);
    if (channels == 1) {
        p[0] = r;
        return;
    }
    p[0] = r;
    p[1] = g;
    p[2] = b;
    if (channels == 4)
        p[3] = a;
}

void Image::blend(int x, int y, float r, float g, float b, float coverage)
{
    if (x < 0 || y < 0 || x >= w || y >= h || channels < 3)
        return;
    coverage = std::clamp(coverage, 0.0f, 1.0f);
    uint8_t* p = at(x, y);
    const float c[3] = {r, g, b};
    for (int k = 0; k < 3; ++k)
        p[k] = uint8_t(std::lround(p[k] * (1.0f - coverage) + c[k] * coverage));
}

void Image::fillRect(int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b)
{
    for (int y = std::max(0, y0); y < std::min(h, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(w, x1); ++x)
            set(x, y, r, g, b);
}

void Image::paste(const Image& source, int x, int y)
{
    for (int sy = 0; sy < source.h; ++sy) {
        for (int sx = 0; sx < source.w; ++sx) {
            const uint8_t* s = source.at(sx, sy);
            if (source.channels == 1)
                set(x + sx, y + sy, s[0], s[0], s[0]);
            else
                set(x + sx, y + sy, s[0], s[1], s[2]);
        }
    }
}

bool writePng(const std::string& path, const Image& image)
{
    const LodePNGColorType type = image.channels == 1 ? LCT_GREY : image.channels == 4 ? LCT_RGBA : LCT_RGB;
    // Fixed encoder settings, so the bytes do not depend on lodepng's defaults.
    lodepng::State state;
    state.info_raw.colortype = type;
    state.info_raw.bitdepth = 8;
    state.info_png.color.colortype = type;
    state.info_png.color.bitdepth = 8;
    state.encoder.auto_convert = 0;
    std::vector<unsigned char> file;
    unsigned status = lodepng::encode(file, image.px, unsigned(image.w), unsigned(image.h), state);
    if (status == 0)
        status = lodepng::save_file(file, path);
    if (status != 0) {
        std::printf("cannot write %s: %s\n", path.c_str(), lodepng_error_text(status));
        return false;
    }
    return true;
}

bool makeDirectories(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        std::printf("cannot create %s: %s\n", path.c_str(), error.message().c_str());
        return false;
    }
    return true;
}

bool writeFilesInto(const std::string& dir, const std::vector<FileWriter>& files)
{
    if (!makeDirectories(dir))
        return false;
    for (const FileWriter& file : files)
        if (!file.second(dir + "/" + file.first))
            return false;
    return true;
}

uint8_t toByte(double value01)
{
    return uint8_t(std::lround(std::clamp(value01, 0.0, 1.0) * 255.0));
}
