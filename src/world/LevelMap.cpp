#include "world/LevelMap.h"

#include <algorithm>
#include <cmath>

#include <lodepng.h>

#include "core/SafeFile.h"

bool LevelMap::load(const std::string& path)
{
    clear();
    std::vector<unsigned char> file;
    const FileRead status = readRegularFile(path, file);
    if (status != FileRead::Done) {
        errorText = path + ": cannot be read (" + fileReadError(status) + ")";
        return false;
    }
    return decode(file, path);
}

bool LevelMap::decode(const std::vector<uint8_t>& png, const std::string& name)
{
    clear();
    unsigned width = 0;
    unsigned height = 0;
    // The header alone tells the size; a broken header is left for the
    // decoder to report.
    lodepng::State header;
    if (lodepng_inspect(&width, &height, &header, png.data(), png.size()) == 0 && !withinLimit(width, height)) {
        errorText = name + ": " + oversized(width, height);
        return false;
    }
    std::vector<unsigned char> image;
    unsigned status = lodepng::decode(image, width, height, png, LCT_RGB, 8);
    if (status != 0) {
        errorText = name + ": cannot be decoded (" + lodepng_error_text(status) + ")";
        return false;
    }
    if (!assign(width, height, std::move(image))) {
        errorText = name + ": " + errorText;
        return false;
    }
    return true;
}

bool LevelMap::assign(unsigned width, unsigned height, std::vector<uint8_t> rgb)
{
    clear();
    if (width < minimumSize || height < minimumSize) {
        errorText = "map is " + std::to_string(width) + " x " + std::to_string(height)
            + " pixels, a terrain needs at least 2 x 2";
        return false;
    }
    if (!withinLimit(width, height)) {
        errorText = oversized(width, height);
        return false;
    }
    if (rgb.size() != size_t(width) * height * 3) {
        errorText = "map data holds " + std::to_string(rgb.size()) + " bytes, "
            + std::to_string(size_t(width) * height * 3) + " expected";
        return false;
    }
    w = width;
    h = height;
    bytes = std::move(rgb);
    return true;
}

LevelMap::Pixel LevelMap::imagePixel(unsigned row, unsigned column) const
{
    const size_t at = (size_t(row) * w + column) * 3;
    return Pixel{bytes[at], bytes[at + 1], bytes[at + 2]};
}

LevelMap::Pixel LevelMap::vertexPixel(unsigned i, unsigned j) const
{
    return imagePixel(i, w - 1 - j);
}

glm::vec3 LevelMap::vertexPosition(unsigned i, unsigned j, float extentX, float heightScale, float extentZ) const
{
    // Single precision throughout, in this order, so that the terrain mesh, the
    // collision grid and the level objects agree to the last bit.
    const float fw = float(w);
    const float fh = float(h);
    const float x = (float(j) * extentX - fw * extentX * 0.5f) / fw;
    const float y = float(vertexPixel(i, j).r) * heightScale / 255.0f;
    const float z = -(float(i) * extentZ - fh * extentZ * 0.5f) / fh;
    return glm::vec3(x, y, z);
}

int LevelMap::columnAt(float x, int columns, float extentX)
{
    return std::clamp(int(std::lround((x / extentX + 0.5f) * float(columns))), 0, columns - 1);
}

int LevelMap::rowAt(float z, int rows, float extentZ)
{
    return std::clamp(int(std::lround((0.5f - z / extentZ) * float(rows))), 0, rows - 1);
}

std::string LevelMap::oversized(unsigned width, unsigned height)
{
    return "map is " + std::to_string(width) + " x " + std::to_string(height) + " pixels, at most "
        + std::to_string(maximumPixels) + " pixels in all (" + std::to_string(maximumSide) + " x "
        + std::to_string(maximumSide) + ")";
}

void LevelMap::clear()
{
    w = 0;
    h = 0;
    bytes.clear();
    errorText.clear();
}
