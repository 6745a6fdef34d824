#include "render/LightRegistry.h"

#include <algorithm>
#include <cstdio>

#include <glm/gtc/type_ptr.hpp>

#include "render/LightNode.h"
#include "render/RenderResources.h"

LightRegistry lightRegistry;

namespace {

// Nothing of GL, but the lights of a lost context's scene are gone with it.
[[maybe_unused]] const bool registered = RenderResources::add(nullptr, [] { lightRegistry.clear(); });

}  // namespace

void LightRegistry::clear() {
    activeLights.clear();
    lightTypes.clear();
    lightPositions.clear();
    lightDirections.clear();
    lightIntensities.clear();
    lightRanges.clear();
    lightAngles.clear();
}

int LightRegistry::find(int id) const {
    for (size_t k = 0; k < activeLights.size(); ++k) {
        if (activeLights[k]->id == id) return static_cast<int>(k);
    }
    return -1;
}

void LightRegistry::erase(int index) {
    if (index < 0 || index >= size()) return;
    activeLights.erase(activeLights.begin() + index);
    lightTypes.erase(lightTypes.begin() + index);
    lightPositions.erase(lightPositions.begin() + index);
    lightDirections.erase(lightDirections.begin() + index);
    lightIntensities.erase(lightIntensities.begin() + index);
    lightRanges.erase(lightRanges.begin() + index);
    lightAngles.erase(lightAngles.begin() + index);
}

int LightRegistry::uploadCount() {
    const int n = size();
    if (n <= MAX_SHADER_LIGHTS) return n;
    if (!droppedReported) {
        printf("Too many lights: %d registered, the shaders take the first %d\n", n, MAX_SHADER_LIGHTS);
        droppedReported = true;
    }
    return MAX_SHADER_LIGHTS;
}

void LightRegistry::reaching(const glm::vec3& centre, float radius, std::vector<int>& out) {
    out.clear();
    const int n = uploadCount();
    for (int k = 0; k < n; ++k) {
        const LightType type = lightTypes[k];
        const bool lamp = type == LightType::Point || type == LightType::Spot;
        // A thousandth to spare for the shader's own rounding of the distance.
        const float reach = (lightRanges[k] + radius) * 1.001f + 0.001f;
        if (isSkyLight(type) || (lamp && glm::length(lightPositions[k] - centre) < reach)) out.push_back(k);
    }
}

namespace {

// Sends the registry entries entry(0) .. entry(n - 1), n <= MAX_SHADER_LIGHTS:
// past the arrays' declared size GL's behaviour is undefined.
template <typename Entry>
void uploadEntries(GLint countLocation, GLint typeLocation, GLint positionLocation, GLint directionLocation,
                   GLint intensityLocation, GLint rangeLocation, GLint angleLocation, int n, Entry entry) {
    const LightRegistry& registry = lightRegistry;
    glUniform1i(countLocation, n);
    if (n == 0) return;
    int types[MAX_SHADER_LIGHTS];
    glm::vec3 positions[MAX_SHADER_LIGHTS], directions[MAX_SHADER_LIGHTS], intensities[MAX_SHADER_LIGHTS];
    float ranges[MAX_SHADER_LIGHTS], angles[MAX_SHADER_LIGHTS];
    for (int k = 0; k < n; ++k) {
        const int from = entry(k);
        types[k] = static_cast<int>(registry.lightTypes[from]);
        positions[k] = registry.lightPositions[from];
        directions[k] = registry.lightDirections[from];
        intensities[k] = registry.lightIntensities[from];
        ranges[k] = registry.lightRanges[from];
        angles[k] = registry.lightAngles[from];
    }
    glUniform1iv(typeLocation, n, types);
    glUniform3fv(positionLocation, n, glm::value_ptr(positions[0]));
    glUniform3fv(directionLocation, n, glm::value_ptr(directions[0]));
    glUniform3fv(intensityLocation, n, glm::value_ptr(intensities[0]));
    glUniform1fv(rangeLocation, n, ranges);
    glUniform1fv(angleLocation, n, angles);
}

}  // namespace

void uploadLightUniforms(GLint countLocation, GLint typeLocation, GLint positionLocation, GLint directionLocation,
                         GLint intensityLocation, GLint rangeLocation, GLint angleLocation) {
    uploadEntries(countLocation, typeLocation, positionLocation, directionLocation, intensityLocation, rangeLocation,
                  angleLocation, lightRegistry.uploadCount(), [](int k) { return k; });
}

void uploadLightSubset(GLint countLocation, GLint typeLocation, GLint positionLocation, GLint directionLocation,
                       GLint intensityLocation, GLint rangeLocation, GLint angleLocation,
                       const std::vector<int>& indices) {
    const int n = std::min(static_cast<int>(indices.size()), MAX_SHADER_LIGHTS);
    uploadEntries(countLocation, typeLocation, positionLocation, directionLocation, intensityLocation, rangeLocation,
                  angleLocation, n, [&indices](int k) { return indices[k]; });
}
