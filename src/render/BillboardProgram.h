#pragma once

#include "render/ShaderProgram.h"

// The billboard program (vertex, fragment, geometry shader) with its uniform
// locations.
class BillboardProgram : public ShaderProgram {
public:
    BillboardProgram();

    GLint viewProjection = -1, cameraPosition = -1, billboardPos = -1, billboardSize = -1, textureSampler = -1,
          useUniformPosition = -1, smallestSquare = -1;
};
