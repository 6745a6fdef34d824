#pragma once

#include <string>

#include "Image.h"

// The screen font: ASCII rasterised from DejaVu Sans Mono Bold with FreeType
// into a 16 x 16 grid of 32-pixel cells, white with the glyph in alpha, and
// stored as a DXT5 DDS file with a full mip chain.
namespace font {

extern const char* const sourceFont;

// Writes data/Holstein.DDS (and a preview of the atlas when previewDir is set).
bool write(const std::string& dataDir, const std::string& previewDir);

// The 512 x 512 RGBA atlas before compression.
bool rasterizeAtlas(Image& atlas);

// Encodes one 4 x 4 block of RGBA pixels (row by row) into 16 DXT5 bytes.
void encodeDxt5Block(const uint8_t rgba[64], uint8_t out[16]);

} // namespace font

// Draws a caption for the previews (white, anti-aliased) with its baseline at y.
void drawLabel(Image& image, int x, int y, const std::string& text, int pixelSize);
