#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/vec3.hpp>

#include "core/LevelConstants.h"

// A level map image decoded to 8-bit RGB: red is the terrain height, green and
// blue carry the level's markers. The terrain is the image mirrored left to
// right, so terrain vertex (row i, column j) reads image column w-1-j.
class LevelMap
{
public:
    struct Pixel
    {
        uint8_t r = 0;
        uint8_t g = 0;
        uint8_t b = 0;
    };

    // Reads and decodes a PNG file; on failure returns false, leaves the map
    // empty and error() tells what went wrong (the path included).
    bool load(const std::string& path);
    // The same for PNG bytes already in memory; `name` leads the error text.
    bool decode(const std::vector<uint8_t>& png, const std::string& name);

    // Takes an already decoded image (rows top to bottom, 3 bytes a pixel);
    // false if the byte count does not match or the image is under 2 x 2 or
    // over the size limit.
    bool assign(unsigned width, unsigned height, std::vector<uint8_t> rgb);

    const std::string& error() const { return errorText; }
    bool empty() const { return w == 0 || h == 0; }
    unsigned width() const { return w; }
    unsigned height() const { return h; }
    const std::vector<uint8_t>& rgb() const { return bytes; }

    // Pixel of image row `row`, image column `column` (as stored).
    Pixel imagePixel(unsigned row, unsigned column) const;

    // Pixel that belongs to terrain vertex (i, j): image row i, column w-1-j.
    Pixel vertexPixel(unsigned i, unsigned j) const;

    // Position of vertex (i, j) in the terrain's own space, for extents X, Z
    // and the height scale (256 in the game): x runs from -X/2 to X/2 - X/w,
    // z from Z/2 (row 0) down to -Z/2 + Z/h, y = red * heightScale / 255.
    glm::vec3 vertexPosition(unsigned i, unsigned j, float extentX, float heightScale, float extentZ) const;

    // Where vertex column j of `columns` (image column w-1-j) and vertex
    // row i of `rows` lie in terrain space for extents X and Z: x from -X/2,
    // z from Z/2, one vertex every X/columns and Z/rows. On the shipped
    // maps image column c lies at x = 1020 - 4c. vertexPosition() spells the
    // same out in the order the terrain mesh needs.
    static float columnX(int j, int columns, float extentX)
    {
        return extentX * (float(j) / float(columns) - 0.5f);
    }
    static float rowZ(int i, int rows, float extentZ) { return extentZ * (0.5f - float(i) / float(rows)); }
    // The nearest vertex column to x and row to z, clamped to the grid.
    static int columnAt(float x, int columns, float extentX);
    static int rowAt(float z, int rows, float extentZ);

    // The smallest map a terrain can be built from.
    static constexpr unsigned minimumSize = 2;
    // The largest, in pixels: a 2048 x 2048 terrain (16 times the shipped
    // maps) already takes several hundred megabytes to build, and the cost
    // follows the pixel count, whatever the shape (4096 x 2 is fine). Larger
    // maps are refused from the PNG header, before any pixel is decoded.
    static constexpr unsigned maximumSide = 2048;
    static constexpr uint64_t maximumPixels = uint64_t(maximumSide) * maximumSide;
    static bool withinLimit(unsigned width, unsigned height) { return uint64_t(width) * height <= maximumPixels; }

private:
    void clear();
    static std::string oversized(unsigned width, unsigned height);

    unsigned w = 0;
    unsigned h = 0;
    std::vector<uint8_t> bytes;
    std::string errorText;
};
