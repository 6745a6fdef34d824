#include "render/TerrainMesh.h"

#include <algorithm>
#include <cmath>

#include "app/RenderSettings.h"
#include "render/Environment.h"
#include "render/LightRegistry.h"
#include "render/RenderResources.h"
#include "render/ShaderLoader.h"
#include "scene/CameraNode.h"

namespace {

// The terrain program without fog and lamps, without fog, and without lamps
// (each level's own program has both), built once for every level's terrain.
struct Variant {
    GLuint program = 0;
    Mesh::Uniforms uniforms;
};
Variant variants[3];
// Tried once; the programs stay 0 when they cannot stand in for the own one.
bool variantsTried = false;

void forgetVariants() {
    for (Variant& variant : variants) variant = Variant();
    variantsTried = false;
}

const bool variantsRegistered = RenderResources::add(
    [] {
        for (Variant& variant : variants)
            if (variant.program) glDeleteProgram(variant.program);
        forgetVariants();
    },
    forgetVariants);

void buildVariants(GLuint ownProgram) {
    variantsTried = true;
    const char* defines[3] = {"#define FOG 0\n#define LAMPS 0\n", "#define FOG 0\n", "#define LAMPS 0\n"};
    for (int v = 0; v < 3; ++v) variants[v].program = loadBasicProgramVariant("Shaders/terrainShader.frag", defines[v]);
    // The mesh's vertex array was set up for its own program's inputs.
    bool sameInputs = true;
    for (const char* input : {"in_position", "in_normal", "in_uv"})
        for (const Variant& variant : variants)
            sameInputs = sameInputs && glGetAttribLocation(variant.program, input) == glGetAttribLocation(ownProgram, input);
    for (Variant& variant : variants) {
        if (!sameInputs) {
            glDeleteProgram(variant.program);
            variant.program = 0;
        }
        variant.uniforms = Mesh::locateUniforms(variant.program);
    }
}

}  // namespace

TerrainMesh::TerrainMesh(float* positions, float* normals, uint32_t* indices, float* uvs, uint32_t vertexCount,
                         uint32_t triangleCount, uint32_t columns, uint32_t rows)
    : Mesh(positions, normals, indices, uvs, vertexCount, triangleCount) {
    lod.build(positions, columns, rows);
    cachedTriangles.resize(lod.patches().size());
    cacheKeys.assign(lod.patches().size(), ~0u);
}

TerrainMesh::~TerrainMesh() {
    if (lodIndexBuffer) glDeleteBuffers(1, &lodIndexBuffer);
}

void TerrainMesh::drawFullGrid(const glm::mat4& mvp) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers().index);
    Mesh::drawTriangles(mvp);
}

uint64_t TerrainMesh::lightsReaching(const TerrainLod::Patch& patch) const {
    const LightRegistry& registry = lightRegistry;
    const int n = std::min(registry.size(), MAX_SHADER_LIGHTS);
    uint64_t mask = 0;
    for (int k = 0; k < n; ++k) {
        const LightType type = registry.lightTypes[k];
        bool reaches = isSkyLight(type);
        // A lamp or spot adds nothing beyond its range.
        if (type == LightType::Point || type == LightType::Spot) {
            const glm::vec3 nearest = glm::clamp(lightPlaces[k], patch.low, patch.high);
            reaches = glm::length(nearest - lightPlaces[k]) < registry.lightRanges[k];
        }
        // Nor does a spot outside its cone, where the shader's cone term is
        // exactly zero: the patch's bounding sphere against the cone, with a
        // degree to spare.
        if (type == LightType::Spot && reaches) {
            const glm::vec3 centre = 0.5f * (patch.low + patch.high);
            const float radius = 0.5f * glm::length(patch.high - patch.low);
            const glm::vec3 toCentre = centre - lightPlaces[k];
            const float distance = glm::length(toCentre);
            if (distance > radius) {
                const float offAxis = std::acos(glm::clamp(glm::dot(toCentre / distance, lightAxes[k]), -1.0f, 1.0f));
                const float spread = std::asin(radius / distance);
                reaches = offAxis - spread < glm::radians(registry.lightAngles[k] + 1.0f);
            }
        }
        if (reaches) mask |= uint64_t(1) << k;
    }
    return mask;
}

void TerrainMesh::useVariant(bool fog, bool lamps) {
    int wanted = (fog ? 2 : 0) + (lamps ? 1 : 0);
    if (wanted < 3 && !variants[wanted].program) wanted = 3;
    if (wanted == currentVariant) return;
    // The draw began with the own program, which has fog and lamps.
    if (wanted == 3 && currentVariant == -1) {
        currentVariant = 3;
        return;
    }
    if (wanted == 3)
        switchToOwnProgram();
    else
        switchProgram(variants[wanted].program, variants[wanted].uniforms);
    currentVariant = wanted;
}

void TerrainMesh::drawTriangles(const glm::mat4& mvp) {
    const RenderSettings& settings = RenderSettings::instance();
    if (settings.fullTerrainDetail || lod.patches().empty() || !activeCamera) {
        drawFullGrid(mvp);
        return;
    }
    const glm::mat4 toTerrain = glm::inverse(modelMatrix);
    const glm::vec3 eye(toTerrain * activeCamera->getWorldMatrix()[3]);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Pixels per radian near the picture's centre: half its height times the
    // projection's cotangent of half the field of view.
    const float pixelsPerRadian = 0.5f * float(viewport[3]) * activeCamera->projectionMatrix[1][1];
    const float fogPerUnit = environment.fogEnabled ? environment.fogDensity / environment.fogRange : 0.0f;
    lod.selectLevels(eye, pixelsPerRadian, tolerance, fullDetailDistance, fogPerUnit);

    const PicturePlanes picture(mvp);
    const std::vector<TerrainLod::Patch>& patches = lod.patches();
    visible.clear();
    for (uint32_t p = 0; p < patches.size(); ++p) {
        const TerrainLod::Patch& patch = patches[p];
        const glm::vec3 center = 0.5f * (patch.low + patch.high);
        const float radius = 0.5f * glm::length(patch.high - patch.low) + 1.0f;
        if (settings.frustumCulling && picture.excludes(center, radius)) continue;
        visible.emplace_back(glm::length(eye - glm::clamp(eye, patch.low, patch.high)), p);
    }
    // Near ground first, so depth testing spares the ground hidden behind it.
    std::sort(visible.begin(), visible.end());

    const LightRegistry& registry = lightRegistry;
    lightPlaces.resize(registry.lightPositions.size());
    lightAxes.resize(registry.lightPositions.size());
    for (size_t k = 0; k < lightPlaces.size(); ++k) {
        lightPlaces[k] = glm::vec3(toTerrain * glm::vec4(registry.lightPositions[k], 1.0f));
        lightAxes[k] = glm::normalize(glm::mat3(toTerrain) * registry.lightDirections[k]);
    }
    for (Group& group : groups) group.patches.clear();
    size_t groupCount = 0;
    for (const auto& entry : visible) {
        const uint64_t mask = lightsReaching(patches[entry.second]);
        size_t g = 0;
        while (g < groupCount && groups[g].lightMask != mask) ++g;
        if (g == groupCount) {
            if (groups.size() == groupCount) groups.emplace_back();
            groups[g].lightMask = mask;
            groups[g].hasLamps = false;
            // The sky's lights first: the terrain's shader takes them in a
            // cheap loop of their own.
            groups[g].lights.clear();
            for (int sky = 1; sky >= 0; --sky) {
                for (int k = 0; k < 64; ++k) {
                    if (!(mask & (uint64_t(1) << k))) continue;
                    const bool isSky = isSkyLight(registry.lightTypes[k]);
                    if (isSky != bool(sky)) continue;
                    groups[g].lights.push_back(k);
                    groups[g].hasLamps = groups[g].hasLamps || !isSky;
                }
            }
            ++groupCount;
        }
        groups[g].patches.push_back(entry.second);
    }

    frameIndices.clear();
    for (size_t g = 0; g < groupCount; ++g) {
        Group& group = groups[g];
        group.firstIndex = frameIndices.size();
        for (uint32_t p : group.patches) {
            int neighbours[4];
            uint32_t key = uint32_t(patches[p].level);
            for (int side = 0; side < 4; ++side) {
                neighbours[side] = lod.neighbourLevel(p, side);
                key = key * 8 + uint32_t(neighbours[side] + 1);
            }
            if (cacheKeys[p] != key) {
                cachedTriangles[p].clear();
                lod.appendTriangles(p, patches[p].level, neighbours, cachedTriangles[p]);
                cacheKeys[p] = key;
            }
            frameIndices.insert(frameIndices.end(), cachedTriangles[p].begin(), cachedTriangles[p].end());
        }
        group.indexCount = frameIndices.size() - group.firstIndex;
    }
    trianglesDrawn = uint32_t(frameIndices.size() / 3);
    if (!lodIndexBuffer) glGenBuffers(1, &lodIndexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, lodIndexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(frameIndices.size() * sizeof(uint32_t)), frameIndices.data(),
                 GL_STREAM_DRAW);
    if (!variantsTried) buildVariants(program());
    currentVariant = -1;
    for (size_t g = 0; g < groupCount; ++g) {
        const Group& group = groups[g];
        if (group.indexCount == 0) continue;
        useVariant(environment.fogEnabled, group.hasLamps);
        uploadLights(group.lights);
        glDrawElements(GL_TRIANGLES, GLsizei(group.indexCount), GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(group.firstIndex * sizeof(uint32_t)));
    }
}
