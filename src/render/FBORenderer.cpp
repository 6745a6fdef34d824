#include "render/FBORenderer.h"

#include <algorithm>
#include <cstdio>

#include <glm/gtc/type_ptr.hpp>

#include "render/LightRegistry.h"

float motionBlurStrength(float playerSpeed) {
    return std::clamp((playerSpeed / 30.0f - 1.0f) * 5.0f, 0.0f, 1.5f);
}

FBORenderer::FBORenderer(int width, int height, GLuint program, GLuint colorTexture, GLuint dataTexture)
    : width(width), height(height), program(program), colorTexture(colorTexture), dataTexture(dataTexture) {
    quadPositions = new float[12]{-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0};
    quadUvs = new float[8]{0, 0, 1, 0, 1, 1, 0, 1};
    quadIndices = new uint32_t[6]{0, 2, 1, 0, 2, 3};
    printf("Creating FBORenderer VBO\n");

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &positionBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    glBufferData(GL_ARRAY_BUFFER, 12 * sizeof(float), quadPositions, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, 6 * sizeof(uint32_t), quadIndices, GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glGenBuffers(1, &uvBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, 8 * sizeof(float), quadUvs, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    GLint position = glGetAttribLocation(program, "in_position");
    if (position >= 0) {
        glEnableVertexAttribArray(position);
        glVertexAttribPointer(position, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    GLint uv = glGetAttribLocation(program, "in_uv");
    if (uv >= 0) {
        glEnableVertexAttribArray(uv);
        glVertexAttribPointer(uv, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

FBORenderer::~FBORenderer() {
    if (positionBuffer) glDeleteBuffers(1, &positionBuffer);
    if (indexBuffer) glDeleteBuffers(1, &indexBuffer);
    if (uvBuffer) glDeleteBuffers(1, &uvBuffer);
    if (vao) glDeleteVertexArrays(1, &vao);
    delete[] quadPositions;
    delete[] quadUvs;
    delete[] quadIndices;
}

void FBORenderer::render(float playerSpeed) {
    glUseProgram(program);
    glBindVertexArray(vao);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);

    glUniform1i(glGetUniformLocation(program, "dataTexture"), 1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, dataTexture);
    glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, colorTexture);

    if (uploadRotation) {
        glUniformMatrix4fv(glGetUniformLocation(program, "iTRotMat"), 1, GL_FALSE, glm::value_ptr(rotationMatrix));
    }
    glUniform1f(glGetUniformLocation(program, "playerSpeedMult"), motionBlurStrength(playerSpeed));
    glUniform2f(glGetUniformLocation(program, "screenDimensions"), static_cast<float>(width),
                static_cast<float>(height));
    if (uploadLights) {
        uploadLightUniforms(glGetUniformLocation(program, "lightCount"), glGetUniformLocation(program, "lightType"),
                            glGetUniformLocation(program, "lightPosition"),
                            glGetUniformLocation(program, "lightDirection"),
                            glGetUniformLocation(program, "lightIntensity"), glGetUniformLocation(program, "lightRange"),
                            glGetUniformLocation(program, "lightAngle"));
    }

    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
    glUseProgram(0);
}
