#pragma once

#include <vector>

#include <glm/glm.hpp>

class LightNode;

// The fog colour the geometry shaders fade towards.
constexpr float FOG_GREY = 0.4f;
// The sky behind the terrain by day and by night; fog hides it in grey.
inline const glm::vec3 DAY_SKY(0.43f, 0.65f, 0.87f);
inline const glm::vec3 NIGHT_SKY(0.112f, 0.2f, 0.344f);

enum class LightingMode : int { Day = 0, Night = 1 };

// The level's own lights, day or night, and the fog values.
struct Environment {
    std::vector<LightNode*> levelLights;  // owned
    bool fogEnabled = true;
    float fogRange = 200.0f;
    float fogDensity = 0.4f;
    LightingMode lightingMode = LightingMode::Day;

    Environment() = default;
    // The lights still held at exit go with it.
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    // Sets the clear colour (when a GL context exists) and the default
    // lights of the mode, which enter the registry at once.
    void setLighting(LightingMode mode);
    // Used by the F key; the clear colour follows.
    void setFog(bool on);
    // Deletes the level lights and empties the light registry.
    void clearLights();
    // The clear colour for the current mode and fog.
    glm::vec3 clearColor() const;
    // Makes clearColor() GL's clear colour, when a GL context exists.
    void applyClearColor() const;
};

extern Environment environment;
