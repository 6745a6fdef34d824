#pragma once

#include <GL/glew.h>

#include <cstdio>

// Reads a DXT1/DXT3/DXT5 DDS file into a new texture with its mip levels.
// Closes the file in every case; returns 0 on any failure. Reports damaged
// files on the console, naming `fileName` when given.
GLuint loadDdsTexture(FILE* file, const char* fileName = nullptr);

// The texture decoded by the driver into plain RGBA, every level kept, and
// the compressed one deleted: software GL decodes a compressed texel at
// every read, so the copy samples the same pixels for less. 0 stays 0.
GLuint decodedCopy(GLuint texture);
