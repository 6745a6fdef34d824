#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// An 8-bit image of 1 (grey), 3 (RGB) or 4 (RGBA) channels, rows top down.
struct Image
{
    Image() = default;
    Image(int width, int height, int channelCount)
        : w(width), h(height), channels(channelCount), px(size_t(width) * height * channelCount, 0) {}

    uint8_t* at(int x, int y) { return &px[(size_t(y) * w + x) * channels]; }
    const uint8_t* at(int x, int y) const { return &px[(size_t(y) * w + x) * channels]; }
    void set(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
    // Alpha-blends a colour over the pixel (coverage 0..1); ignores pixels outside.
    void blend(int x, int y, float r, float g, float b, float coverage);
    void fillRect(int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b);
    void paste(const Image& source, int x, int y);

    int w = 0;
    int h = 0;
    int channels = 3;
    std::vector<uint8_t> px;
};

// Writes a PNG (grey, RGB or RGBA by channel count); prints and returns false on failure.
bool writePng(const std::string& path, const Image& image);

// Creates a directory and its parents; prints and returns false on failure.
bool makeDirectories(const std::string& path);

// A file name and what writes that file, given its path.
using FileWriter = std::pair<const char*, std::function<bool(const std::string& path)>>;
// Creates `dir` and writes the files into it in order; false at the first
// failure (the rest are not made).
bool writeFilesInto(const std::string& dir, const std::vector<FileWriter>& files);

uint8_t toByte(double value01);
