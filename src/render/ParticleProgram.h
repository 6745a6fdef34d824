#pragma once

#include <GL/glew.h>

// The particle update program: runs with rasterisation off and writes the
// next generation of particles through transform feedback. Owns the program.
class ParticleProgram {
public:
    ParticleProgram();
    ~ParticleProgram();
    ParticleProgram(const ParticleProgram&) = delete;
    ParticleProgram& operator=(const ParticleProgram&) = delete;

    GLuint program = 0;
    GLint deltaTimeMillis = -1;
    GLint simpleParticleLifetime = -1;
    GLint emitterPosition = -1;
    GLint randomSpeed = -1;
    GLint userSpeed = -1;
};
