#include "render/ParticleProgram.h"

#include <cstdio>

#include "render/ShaderLoader.h"

ParticleProgram::ParticleProgram() {
    program = glCreateProgram();
    if (program == 0) std::fprintf(stderr, "Error creating shader program\n");
    compileShaderFile(program, GL_VERTEX_SHADER, "Shaders/particleShader.vertexshader", true);
    compileShaderFile(program, GL_FRAGMENT_SHADER, "Shaders/particleShader.fragmentshader", true);
    compileShaderFile(program, GL_GEOMETRY_SHADER, "Shaders/ps.gs", true);
    // The order of the names is the layout of a particle record.
    const GLchar* varyings[] = {"Type1", "Position1", "Velocity1", "Age1"};
    glTransformFeedbackVaryings(program, 4, varyings, GL_INTERLEAVED_ATTRIBS);
    linkShaderProgram(program);
    deltaTimeMillis = glGetUniformLocation(program, "gDeltaTimeMillis");
    simpleParticleLifetime = glGetUniformLocation(program, "gSimpleParticleLifetime");
    emitterPosition = glGetUniformLocation(program, "gEmitterPosition");
    randomSpeed = glGetUniformLocation(program, "gRandomSpeed");
    userSpeed = glGetUniformLocation(program, "gUserSpeed");
}

ParticleProgram::~ParticleProgram() {
    if (program != 0) glDeleteProgram(program);
    program = 0;
}
