#pragma once

#include <GL/glew.h>

// The billboard program (vertex, fragment, geometry shader) with its uniform
// locations. Owns the GL program.
class BillboardProgram {
public:
    BillboardProgram();
    ~BillboardProgram();
    BillboardProgram(const BillboardProgram&) = delete;
    BillboardProgram& operator=(const BillboardProgram&) = delete;

    GLuint program = 0;
    GLint viewProjection = -1;
    GLint cameraPosition = -1;
    GLint billboardPos = -1;
    GLint billboardSize = -1;
    GLint textureSampler = -1;
    GLint useUniformPosition = -1;
};
