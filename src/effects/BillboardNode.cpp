#include "effects/BillboardNode.h"

#include <cstdio>
#include <cstring>

#include <glm/gtc/type_ptr.hpp>
#include <lodepng.h>

#include "core/SafeFile.h"
#include "render/RenderResources.h"
#include "render/SamplingState.h"
#include "scene/CameraNode.h"

BillboardNode::BillboardNode() {
    textureCount = 0;
    textures.clear();
    glGenVertexArrays(1, &vertexArray);
    // Without its program (program.failure says why) the maker drops the node.
    if (program.failure) return;
    glUseProgram(program.program);
    glUniform1f(program.billboardSize, 20.0f);
}

BillboardNode::~BillboardNode() {
    if (vertexArray != 0) glDeleteVertexArrays(1, &vertexArray);
    vertexArray = 0;
    textures.clear();
    // The program holder deletes its program (if any) when it goes.
}

void BillboardNode::draw() {
    for (Node* child : children) child->draw();
    if (!activeCamera) return;

    glm::mat4 viewProjection = activeCamera->projectionMatrix * activeCamera->getInverseWorldMatrix();

    glUseProgram(program.program);
    glBindVertexArray(vertexArray);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);

    glm::vec3 cameraPosition(activeCamera->getWorldMatrix()[3]);
    glm::vec3 position(getWorldMatrix()[3]);
    glUniformMatrix4fv(program.viewProjection, 1, GL_FALSE, glm::value_ptr(viewProjection));
    glUniform3fv(program.cameraPosition, 1, glm::value_ptr(cameraPosition));
    glUniform3fv(program.billboardPos, 1, glm::value_ptr(position));
    glUniform1i(program.useUniformPosition, 1);

    if (textureCount > 0 && !textures.empty()) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
        applySamplingState();
        glUniform1i(program.textureSampler, 0);
    }

    glDrawArrays(GL_POINTS, 0, 1);
    glBindVertexArray(0);
}

namespace {

GLuint snowflakeTexture = 0;
// Whether the shared texture holds the picture, not the empty stand-in of a
// missing or broken file.
bool snowflakeLoaded = false;

[[maybe_unused]] const bool snowflakeRegistered = RenderResources::addTexture(&snowflakeTexture);

// Decodes the snowflake into `pixels`; on failure prints the decoder's line
// and leaves an empty picture.
bool decodeSnowflake(std::vector<unsigned char>& pixels, unsigned& width, unsigned& height) {
    const char* path = "Textures/snowflake.png";
    std::vector<unsigned char> file, image;
    width = 0;
    height = 0;
    const bool decoded =
        readRegularFile(path, file) == FileRead::Done && lodepng::decode(image, width, height, file, LCT_RGB, 8) == 0;
    if (!decoded) {
        std::printf("lodepng failed to load image: %s", path);
        // Whatever the decoder left is not a picture to trust.
        width = 0;
        height = 0;
        image.clear();
    }
    pixels.assign(static_cast<size_t>(width) * height * 3, 0);
    if (!pixels.empty()) std::memcpy(pixels.data(), image.data(), pixels.size());
    return decoded;
}

// Uploads the picture into the texture bound on the active unit, stored as
// `internalFormat`, with its mip-maps.
void uploadSnowflake(GLint internalFormat, const std::vector<unsigned char>& pixels, unsigned width,
                     unsigned height) {
    // Rows of three bytes need not be 4-byte aligned.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 pixels.empty() ? nullptr : pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

}  // namespace

GLuint BillboardNode::loadSnowflakeTexture() {
    glActiveTexture(GL_TEXTURE0 + textureCount);
    ++textureCount;
    std::vector<unsigned char> pixels;
    unsigned width = 0, height = 0;
    decodeSnowflake(pixels, width, height);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    uploadSnowflake(GL_RGB, pixels, width, height);
    textures.push_back(texture);
    return texture;
}

GLuint sharedSnowflakeTexture() {
    if (snowflakeTexture != 0 && snowflakeLoaded) return snowflakeTexture;
    std::vector<unsigned char> pixels;
    unsigned width = 0, height = 0;
    const bool loaded = decodeSnowflake(pixels, width, height);
    // A file still missing leaves the empty texture as it is.
    if (snowflakeTexture != 0 && !loaded) return snowflakeTexture;
    glActiveTexture(GL_TEXTURE0);
    if (snowflakeTexture == 0) glGenTextures(1, &snowflakeTexture);
    glBindTexture(GL_TEXTURE_2D, snowflakeTexture);
    // With an alpha of one it samples exactly as RGB would, and software
    // GL makes its mip-maps with the code it already built for the other
    // textures: RGB would have it build new code at the first level's load,
    // some 50 ms.
    uploadSnowflake(GL_RGBA8, pixels, width, height);
    snowflakeLoaded = loaded;
    return snowflakeTexture;
}
