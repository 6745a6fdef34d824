#pragma once

#include <string>
#include <vector>

#include "world/LevelMap.h"

// A level map built by a test, as the game reads it: rows top to bottom, RGB,
// the terrain mirrored left to right. Every pixel starts at height `red`
// with no marker; mark() and setHeight() address terrain vertices, so that a
// test need not repeat the mirrored-column arithmetic.
struct MapImage {
    unsigned width, height;
    std::vector<unsigned char> rgb;

    MapImage(unsigned w, unsigned h, unsigned char red = 40);
    // Byte offset of terrain vertex (i, j)'s pixel: image row i, column w-1-j.
    size_t at(unsigned i, unsigned j) const;
    void setHeight(unsigned i, unsigned j, unsigned char red) { rgb[at(i, j)] = red; }
    void mark(unsigned i, unsigned j, unsigned char green, unsigned char blue);
    // Writes the PNG (a failure is reported to the running test).
    void save(const std::string& path) const;
    LevelMap levelMap() const;
};
