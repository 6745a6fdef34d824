#include "support/MapImage.h"

#include <gtest/gtest.h>
#include <lodepng.h>

MapImage::MapImage(unsigned w, unsigned h, unsigned char red) : width(w), height(h), rgb(size_t(w) * h * 3, 0) {
    for (size_t p = 0; p < size_t(w) * h; ++p) rgb[p * 3] = red;
}

size_t MapImage::at(unsigned i, unsigned j) const { return (size_t(i) * width + (width - 1 - j)) * 3; }

void MapImage::mark(unsigned i, unsigned j, unsigned char green, unsigned char blue) {
    rgb[at(i, j) + 1] = green;
    rgb[at(i, j) + 2] = blue;
}

void MapImage::save(const std::string& path) const {
    EXPECT_EQ(lodepng::encode(path, rgb, width, height, LCT_RGB, 8), 0u) << path;
}

LevelMap MapImage::levelMap() const {
    LevelMap map;
    EXPECT_TRUE(map.assign(width, height, rgb));
    return map;
}
