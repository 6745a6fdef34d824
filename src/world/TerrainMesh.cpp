#include "world/TerrainMesh.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/RenderSettings.h"
#include "render/Environment.h"
#include "render/LightRegistry.h"
#include "render/RenderResources.h"
#include "render/ShaderConstants.h"
#include "render/ShaderLoader.h"
#include "scene/CameraNode.h"

namespace {

// The picture's near plane is a unit ahead of the eye and its corners within
// 1.2 units of it.
constexpr float NEAR_REACH = 1.5f;

// Variants of the terrain program for ground with a baked light map: with or
// without fog, for ground that snow can reach or only grass, and with 0 to
// MAX_LAMP_SLOTS lamps written out (each level's own program loops over any
// lights). Built once per process, all at the first level build, so that a
// broken shader ends the game there and never in flight.
constexpr int MAX_LAMP_SLOTS = 4;
struct Variant {
    bool tried = false;
    GLuint program = 0;
    Mesh::Uniforms uniforms;
    GLint skyLight = -1;  // the sum of the sky lights' intensities
};
constexpr int VARIANTS = 2 * 2 * (MAX_LAMP_SLOTS + 1);
Variant variants[VARIANTS];

void forgetVariants() {
    for (Variant& variant : variants) variant = Variant();
}

const bool variantsRegistered = RenderResources::add(
    [] {
        for (Variant& variant : variants)
            if (variant.program) glDeleteProgram(variant.program);
        forgetVariants();
    },
    forgetVariants);

Variant& variantSlot(bool fog, bool grassOnly, size_t lamps) {
    return variants[((fog ? 2 : 0) + (grassOnly ? 1 : 0)) * (MAX_LAMP_SLOTS + 1) + int(lamps)];
}

// The variant, or nullptr when the own program must draw.
const Variant* variantFor(bool fog, bool grassOnly, size_t lamps) {
    if (lamps > size_t(MAX_LAMP_SLOTS)) return nullptr;
    const Variant& variant = variantSlot(fog, grassOnly, lamps);
    return variant.program ? &variant : nullptr;
}

// The terrain shader's snow line (ShaderConstants.h), with the grass green
// and the normal's up at their most (1): ground below this height is grass
// alone, whatever the texture and the slope. Heights run 50 to a texture
// unit. A thousandth of the line is left for the shader's rounding.
constexpr float SNOW_FREE_BELOW = 50.0f * (SNOW_LINE_LOW - 1e-3f - (1.0f - SNOW_GRASS_GREEN) * SNOW_GRASS_WEIGHT -
                                           (1.0f - SNOW_UP) * SNOW_UP_WEIGHT);

}  // namespace

bool TerrainMesh::buildVariants(GLuint ownProgram, ShaderFailure& failure) {
    for (bool fog : {false, true}) {
        for (bool grassOnly : {false, true}) {
            for (size_t lamps = 0; lamps <= size_t(MAX_LAMP_SLOTS); ++lamps) {
                Variant& variant = variantSlot(fog, grassOnly, lamps);
                if (variant.tried) continue;
                variant.tried = true;
                const std::string defines = "#define FOG " + std::to_string(fog ? 1 : 0) + "\n#define GRASS_ONLY " +
                                            std::to_string(grassOnly ? 1 : 0) + "\n#define LAMP_SLOTS " +
                                            std::to_string(lamps) + "\n";
                variant.program =
                    loadBasicProgramVariant("Shaders/terrainShader.frag", defines, ownProgram, failure);
                if (failure) {
                    // Tried again at the next build.
                    variant.tried = false;
                    return false;
                }
                if (variant.program) {
                    variant.uniforms = Mesh::locateUniforms(variant.program);
                    variant.skyLight = glGetUniformLocation(variant.program, "skyLight");
                }
            }
        }
    }
    return true;
}

TerrainMesh::TerrainMesh(float* positions, float* normals, uint32_t* indices, float* uvs, uint32_t vertexCount,
                         uint32_t triangleCount, uint32_t columns, uint32_t rows)
    : Mesh(positions, normals, indices, uvs, vertexCount, triangleCount) {
    lod.build(positions, columns, rows);
    // Patch by patch in the buffers, so software GL shades each vertex about once.
    bufferSlots = lod.vertexSlots();
    if (bufferSlots.size() != vertexCount) bufferSlots.clear();
    cachedTriangles.resize(lod.patches().size());
    cacheKeys.assign(lod.patches().size(), ~0u);
}

TerrainMesh::~TerrainMesh() {
    if (lodIndexBuffer) glDeleteBuffers(1, &lodIndexBuffer);
}

void TerrainMesh::drawFullGrid() {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers().index);
    Mesh::drawTriangles();
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

// The light map is the terrain's third texture, after snow and grass.
bool TerrainMesh::hasLightMap() const { return textureCount() > 2; }

void TerrainMesh::placeLights(const glm::mat4& toTerrain) {
    const LightRegistry& registry = lightRegistry;
    lightPlaces.resize(registry.lightPositions.size());
    lightAxes.resize(registry.lightPositions.size());
    for (size_t k = 0; k < lightPlaces.size(); ++k) {
        lightPlaces[k] = glm::vec3(toTerrain * glm::vec4(registry.lightPositions[k], 1.0f));
        lightAxes[k] = glm::normalize(glm::mat3(toTerrain) * registry.lightDirections[k]);
    }
}

float TerrainMesh::groundContrast(uint64_t& lampBits) const {
    const LightRegistry& registry = lightRegistry;
    lampBits = 0;
    glm::vec3 skyLight(0.0f);
    for (int k = 0; k < std::min(registry.size(), MAX_SHADER_LIGHTS); ++k) {
        if (isSkyLight(registry.lightTypes[k]))
            skyLight += registry.lightIntensities[size_t(k)];
        else
            lampBits |= uint64_t(1) << k;
    }
    // The shader scales the ground's light by the sky's share of a clear day's.
    return std::min(std::max({skyLight.r, skyLight.g, skyLight.b}) / DAY_LIGHT, 1.0f);
}

void TerrainMesh::collectInPicture(bool cull) {
    ensureFrustum();
    const PicturePlanes picture = framePicture.inSpaceOf(modelMatrix);
    std::vector<TerrainLod::Patch>& patches = lod.patches();
    visible.clear();
    for (uint32_t p = 0; p < patches.size(); ++p) {
        TerrainLod::Patch& patch = patches[p];
        patch.skyFreeAndUnlit = false;
        const glm::vec3 center = 0.5f * (patch.low + patch.high);
        const float radius = 0.5f * glm::length(patch.high - patch.low) + 1.0f;
        if (cull && picture.excludes(center, radius)) continue;
        visible.emplace_back(0.0f, p);
    }
}

void TerrainMesh::markSkyFreeAndUnlit(const glm::vec3& eye, uint64_t lampBits) {
    std::vector<TerrainLod::Patch>& patches = lod.patches();
    skyline.reset(eye);
    for (const auto& entry : visible) skyline.raise(patches[entry.second].low, patches[entry.second].high);
    for (const auto& entry : visible) {
        TerrainLod::Patch& patch = patches[entry.second];
        patch.skyFreeAndUnlit = !(lightsReaching(patch) & lampBits) && skyline.below(patch.low, patch.high);
    }
}

void TerrainMesh::sortNearFirst(const glm::vec3& eye, bool hideHidden) {
    const std::vector<TerrainLod::Patch>& patches = lod.patches();
    horizon.reset(eye);
    for (auto& entry : visible)
        entry.first = horizon.nearestAcross(patches[entry.second].low, patches[entry.second].high);
    // Near ground first, so depth testing spares the ground hidden behind it.
    std::sort(visible.begin(), visible.end());
    // Ground that nearer ground hides for certain is not drawn at all: a
    // tenth to a fifth of the triangles in view along the courses.
    if (!hideHidden) return;
    size_t kept = 0;
    for (const auto& entry : visible) {
        const TerrainLod::Patch& patch = patches[entry.second];
        const bool hidden = horizon.hides(patch.low, patch.high);
        horizon.add(patch.low, patch.high);
        if (!hidden) visible[kept++] = entry;
    }
    visible.resize(kept);
}

size_t TerrainMesh::groupByLights(bool baked) {
    const LightRegistry& registry = lightRegistry;
    const std::vector<TerrainLod::Patch>& patches = lod.patches();
    for (Group& group : groups) group.patches.clear();
    size_t groupCount = 0;
    for (const auto& entry : visible) {
        const uint64_t mask = lightsReaching(patches[entry.second]);
        // Heights inside a triangle lie between its corners'.
        const bool grassOnly = baked && grassAlone && patches[entry.second].high.y < SNOW_FREE_BELOW;
        size_t g = 0;
        while (g < groupCount && (groups[g].lightMask != mask || groups[g].grassOnly != grassOnly)) ++g;
        if (g == groupCount) {
            if (groups.size() == groupCount) groups.emplace_back();
            groups[g].lightMask = mask;
            groups[g].grassOnly = grassOnly;
            groups[g].skyLights.clear();
            groups[g].lamps.clear();
            for (int k = 0; k < 64; ++k) {
                if (!(mask & (uint64_t(1) << k))) continue;
                (isSkyLight(registry.lightTypes[k]) ? groups[g].skyLights : groups[g].lamps).push_back(k);
            }
            ++groupCount;
        }
        groups[g].patches.push_back(entry.second);
    }
    return groupCount;
}

void TerrainMesh::uploadTriangles(size_t groupCount) {
    const std::vector<TerrainLod::Patch>& patches = lod.patches();
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
                for (uint32_t& v : cachedTriangles[p]) v = bufferSlot(v);
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
}

void TerrainMesh::drawGroups(size_t groupCount, bool baked) {
    const LightRegistry& registry = lightRegistry;
    int current = -1;  // the own program, with which the draw began
    for (size_t g = 0; g < groupCount; ++g) {
        Group& group = groups[g];
        if (group.indexCount == 0) continue;
        const Variant* variant =
            baked ? variantFor(environment.fogEnabled, group.grassOnly, group.lamps.size()) : nullptr;
        const int wanted = variant ? int(variant - variants) : -1;
        if (wanted != current) {
            if (variant)
                switchProgram(variant->program, variant->uniforms);
            else
                switchToOwnProgram();
            current = wanted;
        }
        // The own program takes the sky's lights first; a variant its lamps.
        group.lights = variant ? group.lamps : group.skyLights;
        group.lights.insert(group.lights.end(), (variant ? group.skyLights : group.lamps).begin(),
                            (variant ? group.skyLights : group.lamps).end());
        uploadLights(group.lights);
        if (variant) {
            // What the own program sums per fragment, once for the draw.
            glm::vec3 sky(0.0f);
            for (int k : group.skyLights) sky += registry.lightIntensities[size_t(k)];
            glUniform3fv(variant->skyLight, 1, &sky[0]);
        }
        glDrawElements(GL_TRIANGLES, GLsizei(group.indexCount), GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(group.firstIndex * sizeof(uint32_t)));
    }
}

void TerrainMesh::drawTriangles() {
    const RenderSettings& settings = RenderSettings::instance();
    if (settings.fullTerrainDetail || lod.patches().empty() || !activeCamera) {
        drawFullGrid();
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

    placeLights(toTerrain);
    uint64_t lampBits = 0;
    const float contrast = groundContrast(lampBits);
    collectInPicture(settings.frustumCulling);
    // The eye (and the picture's near plane, a unit ahead) must be above the
    // ground for the horizon's reasoning.
    const bool eyeClear = lod.clearAbove(eye, NEAR_REACH);
    // Dim ground away from the sky's edge and the lamps may take coarser
    // detail (at night about an eighth of the day's contrast). Not in fog:
    // it lightens the ground behind a patch towards its grey.
    if (contrast < 1.0f && eyeClear && !environment.fogEnabled) markSkyFreeAndUnlit(eye, lampBits);
    lod.selectLevels(eye, pixelsPerRadian, tolerance, fullDetailDistance, fogPerUnit, contrast);
    sortNearFirst(eye, settings.frustumCulling && hideBehindGround && eyeClear);

    // A variant needs the light map: it takes the sky's shading from there.
    const bool baked = hasLightMap();
    const size_t groupCount = groupByLights(baked);
    uploadTriangles(groupCount);
    drawGroups(groupCount, baked);
}
