#include "render/ShaderConstants.h"

#include <cstdio>
#include <cstdlib>

#include "core/LevelConstants.h"
#include "render/LightNode.h"

namespace {

// The shortest decimal that reads back as exactly `value`, always with a
// point, so that GLSL takes it as the same float.
std::string glslFloat(float value) {
    char text[64];
    for (int places = 1; places <= 9; ++places) {
        std::snprintf(text, sizeof text, "%.*f", places, double(value));
        if (std::strtof(text, nullptr) == value) return text;
    }
    std::snprintf(text, sizeof text, "%.9e", double(value));
    return text;
}

std::string define(const char* name, const std::string& value) {
    return std::string("#define ") + name + " " + value + "\n";
}

std::string define(const char* name, int value) { return define(name, std::to_string(value)); }

std::string define(const char* name, float value) { return define(name, glslFloat(value)); }

}  // namespace

std::string shaderPrelude() {
    return define("MAX_SHADER_LIGHTS", MAX_SHADER_LIGHTS) + define("LIGHT_AMBIENT", int(LightType::Ambient)) +
           define("LIGHT_DIRECTIONAL", int(LightType::Directional)) + define("LIGHT_POINT", int(LightType::Point)) +
           define("LIGHT_SPOT", int(LightType::Spot)) + define("TERRAIN_EXTENT", float(LEVEL_TERRAIN_EXTENT)) +
           define("HEIGHT_SCALE", LEVEL_HEIGHT_SCALE) + define("LIGHT_MAP_SIZE", float(LIGHT_MAP_SIZE)) +
           define("DAY_LIGHT", DAY_LIGHT) + define("MOTION_SCALE", MOTION_SCALE) +
           define("SNOW_LINE_LOW", SNOW_LINE_LOW) + define("SNOW_LINE_HIGH", SNOW_LINE_HIGH) +
           define("SNOW_GRASS_GREEN", SNOW_GRASS_GREEN) + define("SNOW_GRASS_WEIGHT", SNOW_GRASS_WEIGHT) +
           define("SNOW_UP", SNOW_UP) + define("SNOW_UP_WEIGHT", SNOW_UP_WEIGHT) +
           define("SNOW_COLUMN_RADIUS", SNOW_COLUMN_RADIUS) + define("SNOW_COLUMN_DEPTH", SNOW_COLUMN_DEPTH) +
           define("FLAKE_FALL", FLAKE_FALL) + define("FLAKE_FALL_SPREAD", FLAKE_FALL_SPREAD) +
           define("FLAKE_DRIFT_SPREAD", FLAKE_DRIFT_SPREAD) + define("FLAKE_FLUTTER", FLAKE_FLUTTER) +
           define("FLAKE_GUST_FALL", FLAKE_GUST_FALL) + define("FLAKE_GUST_DRIFT", FLAKE_GUST_DRIFT);
}
