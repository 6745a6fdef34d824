#include "render/Mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <glm/gtc/type_ptr.hpp>
#include <lodepng.h>

#include "core/RenderSettings.h"
#include "core/SafeFile.h"
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
    std::string why;
    const FileRead read = readRegularFile(diskPath(fileName), file);
    if (read != FileRead::Done)
        why = fileReadError(read);
    else if (unsigned error = lodepng::decode(image, width, height, file, LCT_RGBA, 8))
        why = lodepng_error_text(error);
    if (!why.empty()) {
        printf("lodepng failed to load image: %s", fileName.c_str());
        printf(" (%s)\n", why.c_str());
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
    : positionArray(positions),
      normalArray(normals),
      indexArray(indices),
      uvArray(uvs),
      vertices(vertexCount),
      triangles(triangleCount) {
    for (uint32_t i = 0; i < 3 * vertexCount; ++i) boundingExtent = std::max(boundingExtent, std::fabs(positions[i]));
    // The first motion-blur frame compares against the view at creation.
    if (activeCamera) lastMvp = activeCamera->projectionMatrix * activeCamera->getInverseWorldMatrix();
}

Mesh::~Mesh() {
    if (buffer.position) glDeleteBuffers(1, &buffer.position);
    if (buffer.index) glDeleteBuffers(1, &buffer.index);
    if (buffer.normal) glDeleteBuffers(1, &buffer.normal);
    if (buffer.uv) glDeleteBuffers(1, &buffer.uv);
    if (buffer.vertexArray) glDeleteVertexArrays(1, &buffer.vertexArray);
    if (ownsProgram && programId) glDeleteProgram(programId);
    delete[] positionArray;
    delete[] normalArray;
    delete[] uvArray;
    delete[] indexArray;
}

Mesh::Uniforms Mesh::locateUniforms(GLuint program) {
    Uniforms u;
    u.projectionMatrix = glGetUniformLocation(program, "projectionMatrix");
    u.transformationMatrix = glGetUniformLocation(program, "transformationMatrix");
    u.viewMatrix = glGetUniformLocation(program, "viewMatrix");
    u.normalMatrix = glGetUniformLocation(program, "normalMatrix");
    u.lightCount = glGetUniformLocation(program, "lightCount");
    u.lightType = glGetUniformLocation(program, "lightType");
    u.lightPosition = glGetUniformLocation(program, "lightPosition");
    u.lightDirection = glGetUniformLocation(program, "lightDirection");
    u.lightIntensity = glGetUniformLocation(program, "lightIntensity");
    u.lightRange = glGetUniformLocation(program, "lightRange");
    u.lightAngle = glGetUniformLocation(program, "lightAngle");
    u.textureCount = glGetUniformLocation(program, "textureCount");
    u.iMvp = glGetUniformLocation(program, "iMvp");
    u.lastMvp = glGetUniformLocation(program, "lastMvp");
    u.alpha = glGetUniformLocation(program, "alpha");
    u.fogEnabled = glGetUniformLocation(program, "fogEnabled");
    u.fogColor = glGetUniformLocation(program, "fogColor");
    u.fogRange = glGetUniformLocation(program, "fogRange");
    u.fogDensity = glGetUniformLocation(program, "fogDensity");
    u.cameraWorldPos = glGetUniformLocation(program, "cameraWorldPos");
    for (int i = 0; i < MAX_TEXTURE_UNIFORMS; ++i) {
        char sampler[32];
        std::snprintf(sampler, sizeof sampler, "texture%d", i);
        u.textures[i] = glGetUniformLocation(program, sampler);
    }
    return u;
}

void Mesh::setShader(GLuint program) {
    programId = program;
    ownsProgram = false;
    glUseProgram(program);
    uniforms = locateUniforms(program);
    bindAttributes();
}

void Mesh::setOwnShader(GLuint program) {
    setShader(program);
    ownsProgram = true;
}

void Mesh::upload() {
    uploadBuffers(indexArray);
}

void Mesh::uploadReversed() {
    std::vector<uint32_t> ordered(indexArray, indexArray + 3 * static_cast<size_t>(triangles));
    for (uint32_t t = 0; t < triangles; ++t)
        std::copy(indexArray + 3 * static_cast<size_t>(t), indexArray + 3 * static_cast<size_t>(t) + 3,
                  ordered.begin() + 3 * static_cast<size_t>(triangles - 1 - t));
    uploadBuffers(ordered.data());
}

namespace {

// A new buffer on `target` of `bytes`, filled in place by `write`: a mesh's
// arrays are large, and a copy on the way costs load time.
template <typename Write>
GLuint filledBuffer(GLenum target, size_t bytes, Write write) {
    GLuint id = 0;
    glGenBuffers(1, &id);
    glBindBuffer(target, id);
    glBufferData(target, static_cast<GLsizeiptr>(bytes), nullptr, GL_STATIC_DRAW);
    void* place = bytes ? glMapBufferRange(target, 0, static_cast<GLsizeiptr>(bytes),
                                           GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT)
                        : nullptr;
    if (place) {
        write(place);
        glUnmapBuffer(target);
    } else if (bytes) {
        std::vector<unsigned char> staging(bytes);
        write(staging.data());
        glBufferSubData(target, 0, static_cast<GLsizeiptr>(bytes), staging.data());
    }
    glBindBuffer(target, 0);
    return id;
}

}  // namespace

void Mesh::uploadBuffers(const uint32_t* orderedIndices) {
    const bool placed = bufferSlots.size() == vertices;
    const size_t values = 3 * static_cast<size_t>(vertices);
    const float* arrays[3] = {positionArray, normalArray, uvArray};
    GLuint* vertexBuffers[3] = {&buffer.position, &buffer.normal, &buffer.uv};
    for (int k = 0; k < 3; ++k) {
        *vertexBuffers[k] = filledBuffer(GL_ARRAY_BUFFER, values * sizeof(float), [&](void* place) {
            float* out = static_cast<float*>(place);
            if (!placed) {
                std::copy(arrays[k], arrays[k] + values, out);
                return;
            }
            for (uint32_t v = 0; v < vertices; ++v)
                std::copy(arrays[k] + 3 * static_cast<size_t>(v), arrays[k] + 3 * static_cast<size_t>(v) + 3,
                          out + 3 * static_cast<size_t>(bufferSlots[v]));
        });
    }
    const size_t indexCount = 3 * static_cast<size_t>(triangles);
    buffer.index = filledBuffer(GL_ELEMENT_ARRAY_BUFFER, indexCount * sizeof(uint32_t), [&](void* place) {
        uint32_t* out = static_cast<uint32_t*>(place);
        for (size_t i = 0; i < indexCount; ++i) out[i] = placed ? bufferSlots[orderedIndices[i]] : orderedIndices[i];
    });
    bindAttributes();
}

void Mesh::bindAttributes() {
    if (!programId || !buffer.position) return;
    if (!buffer.vertexArray) glGenVertexArrays(1, &buffer.vertexArray);
    glBindVertexArray(buffer.vertexArray);
    const GLuint attributeBuffers[3] = {buffer.position, buffer.normal, buffer.uv};
    const char* names[3] = {"in_position", "in_normal", "in_uv"};
    for (int k = 0; k < 3; ++k) {
        glBindBuffer(GL_ARRAY_BUFFER, attributeBuffers[k]);
        GLint location = glGetAttribLocation(programId, names[k]);
        if (location < 0) continue;  // optimised away by this program
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer.index);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

namespace {

glm::vec3 vertexAt(const float* positions, uint32_t v) {
    return glm::vec3(positions[3 * v], positions[3 * v + 1], positions[3 * v + 2]);
}

}  // namespace

void Mesh::uploadTiled(const std::vector<std::vector<uint32_t>>& tileTriangles) {
    const size_t indexCount = 3 * static_cast<size_t>(triangles);
    std::vector<uint32_t> ordered;
    ordered.reserve(indexCount);
    tileList.clear();
    bool valid = true;
    std::vector<bool> placed(triangles, false);
    for (const std::vector<uint32_t>& group : tileTriangles) {
        MeshTile tile;
        tile.firstTriangle = static_cast<uint32_t>(ordered.size() / 3);
        tile.triangleCount = static_cast<uint32_t>(group.size());
        for (uint32_t t : group) {
            valid = t < triangles && !placed[t];
            if (!valid) break;
            placed[t] = true;
            ordered.insert(ordered.end(), indexArray + 3 * static_cast<size_t>(t),
                           indexArray + 3 * static_cast<size_t>(t) + 3);
        }
        if (!valid) break;
        const auto begin = ordered.begin() + 3 * static_cast<size_t>(tile.firstTriangle);
        if (begin != ordered.end()) {
            glm::vec3 low = vertexAt(positionArray, *begin), high = low;
            for (auto v = begin; v != ordered.end(); ++v) {
                low = glm::min(low, vertexAt(positionArray, *v));
                high = glm::max(high, vertexAt(positionArray, *v));
            }
            tile.center = (low + high) * 0.5f;
            for (auto v = begin; v != ordered.end(); ++v)
                tile.radius = std::max(tile.radius, glm::length(vertexAt(positionArray, *v) - tile.center));
        }
        tileList.push_back(tile);
    }
    const uint32_t* upload = ordered.data();
    // A table that does not hold every triangle exactly once would draw
    // holes or garbage.
    if (!valid || ordered.size() != indexCount) {
        printf("Mesh tiles do not match its %u triangles: drawn without tiles\n", triangles);
        tileList.clear();
        upload = indexArray;
    }
    uploadBuffers(upload);
}

void Mesh::drawVisibleTiles() {
    ensureFrustum();
    const PicturePlanes picture = framePicture.inSpaceOf(modelMatrix);
    // Keeps float rounding in the plane sums from dropping a tile that just
    // touches the picture; it is far below a tile's size.
    const float slack = 1.0f;

    rangeCounts.clear();
    rangeOffsets.clear();
    uint32_t rangeEnd = 0;
    for (const MeshTile& tile : tileList) {
        if (picture.excludes(tile.center, tile.radius + slack) || tile.triangleCount == 0) continue;
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

void Mesh::drawTriangles() {
    if (!tileList.empty() && RenderSettings::instance().frustumCulling)
        drawVisibleTiles();
    else
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * triangles), GL_UNSIGNED_INT, nullptr);
}

void Mesh::loadTexture(const char* fileName) { textureIds.push_back(cachedTexture(fileName, textureCount())); }

GLuint cachedTexture(const std::string& name, uint32_t unit) {
    auto found = textureCache.find(name);
    if (found != textureCache.end()) {
        printf("-->>Texture found: %i\n%s\n", static_cast<int>(found->second), name.c_str());
        return found->second;
    }
    glActiveTexture(GL_TEXTURE0 + unit);
    GLuint id = uploadPngTexture(name);
    textureCache[name] = id;
    printf("-->>Texture not found: %i\n%s\n", static_cast<int>(id), name.c_str());
    return id;
}

void Mesh::addTexture(GLuint texture) { textureIds.push_back(texture); }

void Mesh::uploadLights(const std::vector<int>& indices) {
    const Uniforms& u = *activeUniforms;
    uploadLightSubset(u.lightCount, u.lightType, u.lightPosition, u.lightDirection, u.lightIntensity, u.lightRange,
                      u.lightAngle, indices);
}

void Mesh::setModelMatrix(const glm::mat4& m) {
    modelMatrix = m;
    normalMatrix = glm::mat3(glm::transpose(m));
}

void Mesh::draw(float alpha) {
    glUseProgram(programId);
    glBindVertexArray(buffer.vertexArray);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);

    const RenderSettings& settings = RenderSettings::instance();
    frameOpacity = alpha;
    if (!settings.transparency) {
        frameOpacity = 1.0f;
        glDisable(GL_BLEND);
    } else if (alpha >= 1.0f) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }

    activeUniforms = &uniforms;
    uploadFrameUniforms(uniforms, programId);
    // Only the lights that can reach the mesh: the player's figure would
    // otherwise weigh every lamp of the level in each of its pixels. Its
    // vertices lie in a cube of half side boundingExtent, which the model
    // matrix stretches by at most the sum of its columns' lengths.
    const float stretch = glm::length(glm::vec3(modelMatrix[0])) + glm::length(glm::vec3(modelMatrix[1])) +
                          glm::length(glm::vec3(modelMatrix[2]));
    lightRegistry.reaching(glm::vec3(modelMatrix[3]), boundingExtent * stretch, lightsHere);
    uploadLights(lightsHere);
    drawTriangles();
    lastMvp = frameMvp;

    glBindVertexArray(0);
    glDisable(GL_BLEND);
}

void Mesh::switchProgram(GLuint program, const Uniforms& locations) {
    glUseProgram(program);
    activeUniforms = &locations;
    uploadFrameUniforms(locations, program);
}

void Mesh::uploadFrameUniforms(const Uniforms& u, GLuint program) {
    glm::mat4 projection(1.0f), view(1.0f), cameraWorld(1.0f);
    if (activeCamera) {
        projection = activeCamera->projectionMatrix;
        view = activeCamera->getInverseWorldMatrix();
        cameraWorld = activeCamera->getWorldMatrix();
    }
    glUniformMatrix4fv(u.projectionMatrix, 1, GL_FALSE, glm::value_ptr(projection));
    glUniformMatrix4fv(u.transformationMatrix, 1, GL_FALSE, glm::value_ptr(modelMatrix));
    glUniformMatrix4fv(u.viewMatrix, 1, GL_FALSE, glm::value_ptr(view));
    glUniformMatrix3fv(u.normalMatrix, 1, GL_FALSE, glm::value_ptr(normalMatrix));
    glUniformMatrix4fv(u.iMvp, 1, GL_FALSE, glm::value_ptr(inverseMvp));
    glUniformMatrix4fv(u.lastMvp, 1, GL_FALSE, glm::value_ptr(lastMvp));

    glUniform1f(u.alpha, frameOpacity);
    glUniform1i(u.fogEnabled, environment.fogEnabled ? 1 : 0);
    glUniform3f(u.fogColor, FOG_GREY, FOG_GREY, FOG_GREY);
    glUniform1f(u.fogRange, environment.fogRange);
    glUniform1f(u.fogDensity, environment.fogDensity);
    glm::vec3 eye(cameraWorld[3]);
    glUniform3f(u.cameraWorldPos, eye.x, eye.y, eye.z);
    glUniform1i(u.textureCount, static_cast<GLint>(textureCount()));

    for (uint32_t i = 0; i < textureCount(); ++i) {
        GLint sampler = -1;
        if (i < MAX_TEXTURE_UNIFORMS) {
            sampler = u.textures[i];
        } else {
            char name[32];
            std::snprintf(name, sizeof name, "texture%u", i);
            sampler = glGetUniformLocation(program, name);
        }
        glUniform1i(sampler, static_cast<GLint>(i));
        glActiveTexture(GL_TEXTURE0 + i);
        glBindTexture(GL_TEXTURE_2D, textureIds[i]);
        applySamplingState();
    }
}
