#include "render/ShaderProgram.h"

#include <cstdio>

ShaderProgram::ShaderProgram() {
    program = glCreateProgram();
    if (program == 0) std::fprintf(stderr, "Error creating shader program\n");
}

ShaderProgram::~ShaderProgram() {
    if (program != 0) glDeleteProgram(program);
    program = 0;
}

void ShaderProgram::locate(std::initializer_list<std::pair<GLint*, const char*>> uniforms) const {
    for (const auto& uniform : uniforms) *uniform.first = glGetUniformLocation(program, uniform.second);
}
