#pragma once

#include <GL/glew.h>

#include <cstdint>

#include <glm/glm.hpp>

// One full-screen post-processing pass: a program, its two input textures
// and the quad it draws.
class FBORenderer {
public:
    FBORenderer(int width, int height, GLuint program, GLuint colorTexture, GLuint dataTexture);
    ~FBORenderer();

    FBORenderer(const FBORenderer&) = delete;
    FBORenderer& operator=(const FBORenderer&) = delete;

    // Draws the pass into the bound draw frame buffer; playerSpeed is 0 when
    // there is no player (the light-map passes).
    void render(float playerSpeed);

    int width, height;
    GLuint program;
    GLuint colorTexture;
    GLuint dataTexture;
    glm::mat4 rotationMatrix{1};
    bool uploadRotation = false;
    float* quadPositions;
    float* quadUvs;
    uint32_t* quadIndices;
    bool uploadLights = false;
    GLuint vao = 0, positionBuffer = 0, indexBuffer = 0, uvBuffer = 0;
};

// The blur strength for a player speed: 0 up to 30, 1.5 from 39 on.
float motionBlurStrength(float playerSpeed);
