#pragma once

#include <GL/glew.h>

// A 1x1 opaque white texture, made on first use and kept for the whole run:
// the light map of a terrain that has none.
GLuint plainWhiteTexture();
