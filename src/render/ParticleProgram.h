#pragma once

#include "render/ShaderProgram.h"

// The particle update program: runs with rasterisation off and writes the
// next generation of particles through transform feedback.
class ParticleProgram : public ShaderProgram {
public:
    ParticleProgram();

    GLint deltaTimeMillis = -1, simpleParticleLifetime = -1, emitterPosition = -1, randomSpeed = -1,
          toGround = -1, groundFloor = -1, groundKnown = -1;
};
