#include "render/Mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <glm/gtc/type_ptr.hpp>
#include <lodepng.h>

#include "app/RenderSettings.h"
#include "render/Environment.h"
#include "render/LightRegistry.h"
#include "render/RenderResources.h"
#include "render/SamplingState.h"
#include "scene/CameraNode.h"

std::map<std::string, GLuint> textureCache;

namespace {

[[maybe_unused]] const bool textureCacheRegistered = RenderResources::add(
    [] {
        for (const auto& entry : textureCache) glDeleteTextures(1, &entry.second);
        textureCache.clear();
    },
    [] { textureCache.clear(); });

}  // namespace

namespace {

// Material textures are named with Windows separators; on disk they are '/'.
std::string diskPath(const std::string& name) {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace

GLuint uploadPngTexture(const std::string& fileName) {
    std::vector<unsigned char> file;
    std::vector<unsigned char> image;
    unsigned width = 0, height = 0;
    unsigned error = lodepng::load_file(file, diskPath(fileName));
    if (!error) error = lodepng::decode(image, width, height, file, LCT_RGBA, 8);
    if (error) {
        printf("lodepng failed to load image: %s", fileName.c_str());
        printf(" (%s)\n", lodepng_error_text(error));
        image.clear();
        width = height = 0;
    }

    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.empty() ? nullptr : image.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return id;
}

Mesh::Mesh(float* positions, float* normals, uint32_t* indices, float* uvs, uint32_t vertexCount,
           uint32_t triangleCount)
    : positions(positions),
      normals(normals),
      indices(indices),
      uvs(uvs),
      vertexCount(vertexCount),
      triangleCount(triangleCount) {
    // The first motion-blur frame compares against the view at creation.
    if (activeCamera) lastMvp = activeCamera->projectionMatrix * activeCamera->getInverseWorldMatrix();
}

Mesh::~Mesh() {
    if (positionBuffer) glDeleteBuffers(1, &positionBuffer);
    if (indexBuffer) glDeleteBuffers(1, &indexBuffer);
    if (normalBuffer) glDeleteBuffers(1, &normalBuffer);
    if (uvBuffer) glDeleteBuffers(1, &uvBuffer);
    if (vao) glDeleteVertexArrays(1, &vao);
    if (ownsProgram && program) glDeleteProgram(program);
    delete[] positions;
    delete[] normals;
    delete[] uvs;
    delete[] indices;
}

void Mesh::setShader(GLuint shaderProgram) {
    program = shaderProgram;
    glUseProgram(program);
    projectionMatrixLocation = glGetUniformLocation(program, "projectionMatrix");
    transformationMatrixLocation = glGetUniformLocation(program, "transformationMatrix");
    viewMatrixLocation = glGetUniformLocation(program, "viewMatrix");
    normalMatrixLocation = glGetUniformLocation(program, "normalMatrix");
    lightCountLocation = glGetUniformLocation(program, "lightCount");
    lightTypeLocation = glGetUniformLocation(program, "lightType");
    lightPositionLocation = glGetUniformLocation(program, "lightPosition");
    lightDirectionLocation = glGetUniformLocation(program, "lightDirection");
    lightIntensityLocation = glGetUniformLocation(program, "lightIntensity");
    lightRangeLocation = glGetUniformLocation(program, "lightRange");
    lightAngleLocation = glGetUniformLocation(program, "lightAngle");
    textureCountLocation = glGetUniformLocation(program, "textureCount");
    // The program never changes after this, so the per-draw names are
    // resolved once as well.
    iMvpLocation = glGetUniformLocation(program, "iMvp");
    lastMvpLocation = glGetUniformLocation(program, "lastMvp");
    alphaLocation = glGetUniformLocation(program, "alpha");
    fogEnabledLocation = glGetUniformLocation(program, "fogEnabled");
    fogColorLocation = glGetUniformLocation(program, "fogColor");
    fogRangeLocation = glGetUniformLocation(program, "fogRange");
    fogDensityLocation = glGetUniformLocation(program, "fogDensity");
    cameraWorldPosLocation = glGetUniformLocation(program, "cameraWorldPos");

    boundingExtent = 0;
    for (uint32_t i = 0; i < 3 * vertexCount; ++i) {
        float a = std::fabs(positions[i]);
        if (a > boundingExtent) boundingExtent = a;
    }

    const GLsizeiptr vertexBytes = static_cast<GLsizeiptr>(vertexCount) * 3 * sizeof(float);
    glGenBuffers(1, &positionBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    glBufferData(GL_ARRAY_BUFFER, vertexBytes, positions, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glGenBuffers(1, &normalBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, normalBuffer);
    glBufferData(GL_ARRAY_BUFFER, vertexBytes, normals, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    uploadIndices();
    glGenBuffers(1, &uvBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, vertexBytes, uvs, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    const GLuint buffers[3] = {positionBuffer, normalBuffer, uvBuffer};
    const char* names[3] = {"in_position", "in_normal", "in_uv"};
    for (int k = 0; k < 3; ++k) {
        glBindBuffer(GL_ARRAY_BUFFER, buffers[k]);
        GLint location = glGetAttribLocation(program, names[k]);
        if (location < 0) continue;  // optimised away by this program
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

namespace {

glm::vec3 vertexAt(const float* positions, uint32_t v) {
    return glm::vec3(positions[3 * v], positions[3 * v + 1], positions[3 * v + 2]);
}

}  // namespace

void Mesh::uploadIndices() {
    const size_t indexCount = 3 * static_cast<size_t>(triangleCount);
    const uint32_t* upload = indices;
    std::vector<uint32_t> ordered;
    if (!tileTriangles.empty()) {
        ordered.reserve(indexCount);
        tiles.clear();
        bool valid = true;
        std::vector<bool> placed(triangleCount, false);
        for (const std::vector<uint32_t>& group : tileTriangles) {
            MeshTile tile;
            tile.firstTriangle = static_cast<uint32_t>(ordered.size() / 3);
            tile.triangleCount = static_cast<uint32_t>(group.size());
            for (uint32_t t : group) {
                valid = t < triangleCount && !placed[t];
                if (!valid) break;
                placed[t] = true;
                ordered.insert(ordered.end(), indices + 3 * static_cast<size_t>(t),
                               indices + 3 * static_cast<size_t>(t) + 3);
            }
            if (!valid) break;
            const auto begin = ordered.begin() + 3 * static_cast<size_t>(tile.firstTriangle);
            if (begin != ordered.end()) {
                glm::vec3 low = vertexAt(positions, *begin), high = low;
                for (auto v = begin; v != ordered.end(); ++v) {
                    low = glm::min(low, vertexAt(positions, *v));
                    high = glm::max(high, vertexAt(positions, *v));
                }
                tile.center = (low + high) * 0.5f;
                for (auto v = begin; v != ordered.end(); ++v)
                    tile.radius = std::max(tile.radius, glm::length(vertexAt(positions, *v) - tile.center));
            }
            tiles.push_back(tile);
        }
        tileTriangles.clear();
        tileTriangles.shrink_to_fit();
        upload = ordered.data();
        // A table that does not hold every triangle exactly once would draw
        // holes or garbage.
        if (!valid || ordered.size() != indexCount) {
            printf("Mesh tiles do not match its %u triangles: drawn without tiles\n", triangleCount);
            tiles.clear();
            upload = indices;
        }
    } else if (uploadReversed) {
        ordered.assign(indices, indices + indexCount);
        for (uint32_t t = 0; t < triangleCount; ++t)
            std::copy(indices + 3 * static_cast<size_t>(t), indices + 3 * static_cast<size_t>(t) + 3,
                      ordered.begin() + 3 * static_cast<size_t>(triangleCount - 1 - t));
        upload = ordered.data();
    }
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexCount * sizeof(uint32_t)), upload,
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void Mesh::drawVisibleTiles(const glm::mat4& mvp) {
    // The planes of the picture itself, in the mesh's own space: a point is
    // shown only where -w <= x <= w, -w <= y <= w and -w <= z in clip space.
    // They open wider than the culling frustum of the scene nodes, which could
    // drop a tile that shows at the picture's edge. There is no far plane:
    // this projection clips nothing by distance.
    const glm::mat4 rows = glm::transpose(mvp);
    glm::vec4 planes[5] = {rows[3] + rows[0], rows[3] - rows[0], rows[3] + rows[1], rows[3] - rows[1],
                           rows[3] + rows[2]};
    for (glm::vec4& plane : planes) {
        const float length = glm::length(glm::vec3(plane));
        if (length > 0.0f) plane /= length;
    }
    // Keeps float rounding in the plane sums from dropping a tile that just
    // touches the picture; it is far below a tile's size.
    const float slack = 1.0f;

    rangeCounts.clear();
    rangeOffsets.clear();
    uint32_t rangeEnd = 0;
    for (const MeshTile& tile : tiles) {
        bool outside = false;
        for (const glm::vec4& plane : planes) {
            if (glm::dot(glm::vec3(plane), tile.center) + plane.w < -(tile.radius + slack)) {
                outside = true;
                break;
            }
        }
        if (outside || tile.triangleCount == 0) continue;
        // Neighbours in the buffer become one range.
        if (!rangeCounts.empty() && rangeEnd == tile.firstTriangle) {
            rangeCounts.back() += static_cast<GLsizei>(3 * tile.triangleCount);
        } else {
            rangeCounts.push_back(static_cast<GLsizei>(3 * tile.triangleCount));
            rangeOffsets.push_back(reinterpret_cast<const void*>(3 * sizeof(uint32_t) * tile.firstTriangle));
        }
        rangeEnd = tile.firstTriangle + tile.triangleCount;
    }
    if (rangeCounts.empty()) return;
    glMultiDrawElements(GL_TRIANGLES, rangeCounts.data(), GL_UNSIGNED_INT, rangeOffsets.data(),
                        static_cast<GLsizei>(rangeCounts.size()));
}

void Mesh::drawTriangles(const glm::mat4& mvp) {
    if (!tiles.empty() && RenderSettings::instance().frustumCulling)
        drawVisibleTiles(mvp);
    else
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * triangleCount), GL_UNSIGNED_INT, nullptr);
}

void Mesh::loadTexture(const char* fileName) {
    const std::string name(fileName);
    auto found = textureCache.find(name);
    if (found != textureCache.end()) {
        printf("-->>Texture found: %i\n%s\n", static_cast<int>(found->second), name.c_str());
        textures.push_back(found->second);
        ++textureCount;
        return;
    }
    glActiveTexture(GL_TEXTURE0 + textureCount);
    ++textureCount;
    GLuint id = uploadPngTexture(name);
    textures.push_back(id);
    textureCache[name] = id;
    printf("-->>Texture not found: %i\n%s\n", static_cast<int>(id), name.c_str());
}

void Mesh::setModelMatrix(const glm::mat4& m) {
    modelMatrix = m;
    normalMatrix = glm::mat3(glm::transpose(m));
}

void Mesh::draw(float alpha) {
    glUseProgram(program);
    glBindVertexArray(vao);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);

    const RenderSettings& settings = RenderSettings::instance();
    float opacity = alpha;
    if (!settings.transparency) {
        opacity = 1.0f;
        glDisable(GL_BLEND);
    } else if (alpha >= 1.0f) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }

    glm::mat4 projection(1.0f), view(1.0f), cameraWorld(1.0f);
    if (activeCamera) {
        projection = activeCamera->projectionMatrix;
        view = activeCamera->getInverseWorldMatrix();
        cameraWorld = activeCamera->getWorldMatrix();
    }
    glUniformMatrix4fv(projectionMatrixLocation, 1, GL_FALSE, glm::value_ptr(projection));
    glUniformMatrix4fv(transformationMatrixLocation, 1, GL_FALSE, glm::value_ptr(modelMatrix));
    glUniformMatrix4fv(viewMatrixLocation, 1, GL_FALSE, glm::value_ptr(view));
    glUniformMatrix3fv(normalMatrixLocation, 1, GL_FALSE, glm::value_ptr(normalMatrix));
    glUniformMatrix4fv(iMvpLocation, 1, GL_FALSE, glm::value_ptr(inverseMvp));
    glUniformMatrix4fv(lastMvpLocation, 1, GL_FALSE, glm::value_ptr(lastMvp));

    uploadLightUniforms(lightCountLocation, lightTypeLocation, lightPositionLocation, lightDirectionLocation,
                        lightIntensityLocation, lightRangeLocation, lightAngleLocation);

    glUniform1f(alphaLocation, opacity);
    glUniform1i(fogEnabledLocation, environment.fogEnabled ? 1 : 0);
    glUniform3f(fogColorLocation, FOG_GREY, FOG_GREY, FOG_GREY);
    glUniform1f(fogRangeLocation, environment.fogRange);
    glUniform1f(fogDensityLocation, environment.fogDensity);
    glm::vec3 eye(cameraWorld[3]);
    glUniform3f(cameraWorldPosLocation, eye.x, eye.y, eye.z);
    glUniform1i(textureCountLocation, static_cast<GLint>(textureCount));

    for (uint32_t i = 0; i < textureCount; ++i) {
        char sampler[32];
        snprintf(sampler, sizeof sampler, "texture%u", i);
        glUniform1i(glGetUniformLocation(program, sampler), static_cast<GLint>(i));
        glActiveTexture(GL_TEXTURE0 + i);
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        applySamplingState();
    }

    drawTriangles(projection * view * modelMatrix);
    lastMvp = frameMvp;

    glBindVertexArray(0);
    glDisable(GL_BLEND);
}
