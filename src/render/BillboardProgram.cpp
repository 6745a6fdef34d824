#include "render/BillboardProgram.h"

#include "render/ShaderLoader.h"

BillboardProgram::BillboardProgram() {
    compileShaderFile(program, GL_VERTEX_SHADER, "Shaders/Billboard.vertexshader", false);
    compileShaderFile(program, GL_FRAGMENT_SHADER, "Shaders/Billboard.fragmentshader", false);
    compileShaderFile(program, GL_GEOMETRY_SHADER, "Shaders/Billboard.geometryshader", false);
    linkShaderProgram(program);
    locate({{&viewProjection, "viewProjection"},
            {&cameraPosition, "cameraPosition"},
            {&billboardPos, "BillboardPos"},
            {&billboardSize, "BillboardSize"},
            {&textureSampler, "myTextureSampler"},
            {&useUniformPosition, "useUniformPosition"},
            {&smallestSquare, "smallestSquare"}});
}
