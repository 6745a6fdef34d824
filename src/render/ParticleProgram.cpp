#include "render/ParticleProgram.h"

#include "render/ShaderLoader.h"

ParticleProgram::ParticleProgram() {
    compileShaderFile(program, GL_VERTEX_SHADER, "Shaders/particleShader.vertexshader", true);
    compileShaderFile(program, GL_FRAGMENT_SHADER, "Shaders/particleShader.fragmentshader", true);
    compileShaderFile(program, GL_GEOMETRY_SHADER, "Shaders/ps.gs", true);
    // The order of the names is the layout of a particle record.
    const GLchar* varyings[] = {"Type1", "Position1", "Velocity1", "Age1"};
    glTransformFeedbackVaryings(program, 4, varyings, GL_INTERLEAVED_ATTRIBS);
    linkShaderProgram(program);
    locate({{&deltaTimeMillis, "gDeltaTimeMillis"},
            {&simpleParticleLifetime, "gSimpleParticleLifetime"},
            {&emitterPosition, "gEmitterPosition"},
            {&randomSpeed, "gRandomSpeed"},
            {&toGround, "gToGround"},
            {&groundFloor, "gGroundFloor"},
            {&groundKnown, "gGroundKnown"}});
}
