#include "render/BillboardProgram.h"

#include <cstdio>

#include "render/ShaderLoader.h"

BillboardProgram::BillboardProgram() {
    program = glCreateProgram();
    if (program == 0) std::fprintf(stderr, "Error creating shader program\n");
    compileShaderFile(program, GL_VERTEX_SHADER, "Shaders/Billboard.vertexshader", false);
    compileShaderFile(program, GL_FRAGMENT_SHADER, "Shaders/Billboard.fragmentshader", false);
    compileShaderFile(program, GL_GEOMETRY_SHADER, "Shaders/Billboard.geometryshader", false);
    linkShaderProgram(program);
    viewProjection = glGetUniformLocation(program, "viewProjection");
    cameraPosition = glGetUniformLocation(program, "cameraPosition");
    billboardPos = glGetUniformLocation(program, "BillboardPos");
    billboardSize = glGetUniformLocation(program, "BillboardSize");
    textureSampler = glGetUniformLocation(program, "myTextureSampler");
    useUniformPosition = glGetUniformLocation(program, "useUniformPosition");
}

BillboardProgram::~BillboardProgram() {
    if (program != 0) glDeleteProgram(program);
    program = 0;
}
