#include "render/BillboardProgram.h"

#include "render/ShaderLoader.h"

BillboardProgram::BillboardProgram() {
    const bool built =
        compileShaderFile(program, GL_VERTEX_SHADER, "Shaders/Billboard.vertexshader", false, failure) &&
        compileShaderFile(program, GL_FRAGMENT_SHADER, "Shaders/Billboard.fragmentshader", false, failure) &&
        compileShaderFile(program, GL_GEOMETRY_SHADER, "Shaders/Billboard.geometryshader", false, failure) &&
        linkShaderProgram(program, failure);
    if (!built) return;
    locate({{&viewProjection, "viewProjection"},
            {&cameraPosition, "cameraPosition"},
            {&billboardPos, "BillboardPos"},
            {&billboardSize, "BillboardSize"},
            {&textureSampler, "myTextureSampler"},
            {&useUniformPosition, "useUniformPosition"},
            {&smallestSquare, "smallestSquare"}});
}
