#pragma once

#include <GL/glew.h>

#include <vector>

#include <glm/glm.hpp>

#include "render/LightNode.h"
#include "render/ShaderConstants.h"

// The lights that matter this frame, as parallel arrays uploaded as the
// light uniforms.
struct LightRegistry {
    std::vector<LightNode*> activeLights;
    std::vector<LightType> lightTypes;
    std::vector<glm::vec3> lightPositions, lightDirections, lightIntensities;
    std::vector<float> lightRanges, lightAngles;

    void clear();
    int find(int id) const;   // index of the light with that id, or -1
    void erase(int index);    // later entries move down by one
    int size() const { return static_cast<int>(activeLights.size()); }
    // How many entries an upload sends: at most MAX_SHADER_LIGHTS. Reports
    // once on the console when lights are dropped.
    int uploadCount();
    bool droppedReported = false;
    // Fills `out` with the uploaded entries that can light some point within
    // `radius` of `centre`, in registry order: the sky's lights, and the
    // lamps and spots whose range reaches the sphere. The others add exactly
    // nothing there.
    void reaching(const glm::vec3& centre, float radius, std::vector<int>& out);
};

extern LightRegistry lightRegistry;

// Uploads the count and the seven arrays to the given program's uniforms
// ("lightCount", "lightType", ...), capped at MAX_SHADER_LIGHTS.
void uploadLightUniforms(GLint countLocation, GLint typeLocation, GLint positionLocation, GLint directionLocation,
                         GLint intensityLocation, GLint rangeLocation, GLint angleLocation);

// The same for the registry entries in `indices` only (in that order, at most
// MAX_SHADER_LIGHTS): ground that no lamp reaches skips the lamps' terms.
void uploadLightSubset(GLint countLocation, GLint typeLocation, GLint positionLocation, GLint directionLocation,
                       GLint intensityLocation, GLint rangeLocation, GLint angleLocation,
                       const std::vector<int>& indices);
