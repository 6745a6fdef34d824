#include "render/ParticleProgram.h"

#include "render/ShaderLoader.h"

ParticleProgram::ParticleProgram() {
    const bool compiled =
        compileShaderFile(program, GL_VERTEX_SHADER, "Shaders/particleShader.vertexshader", true, failure) &&
        compileShaderFile(program, GL_FRAGMENT_SHADER, "Shaders/particleShader.fragmentshader", true, failure) &&
        compileShaderFile(program, GL_GEOMETRY_SHADER, "Shaders/ps.gs", true, failure);
    if (!compiled) return;
    // The order of the names is the layout of a particle record.
    const GLchar* varyings[] = {"Type1", "Position1", "Velocity1", "Age1"};
    glTransformFeedbackVaryings(program, 4, varyings, GL_INTERLEAVED_ATTRIBS);
    if (!linkShaderProgram(program, failure)) return;
    locate({{&deltaTimeMillis, "gDeltaTimeMillis"},
            {&simpleParticleLifetime, "gSimpleParticleLifetime"},
            {&emitterPosition, "gEmitterPosition"},
            {&randomSpeed, "gRandomSpeed"},
            {&toGround, "gToGround"},
            {&groundFloor, "gGroundFloor"},
            {&groundKnown, "gGroundKnown"}});
}
