#version 330 core

const int SHADOW_STEPS = 96;
const float SHADOW_STEP = 2.5;  // in map pixels
const int RUN = 8;  // steps between tests to stop; divides SHADOW_STEPS

// The level map: red is the height.
uniform sampler2D colorTexture;
// The inverse of the terrain's tilt; its transpose turns a terrain normal
// into the world.
uniform mat4 iTRotMat;

uniform int lightCount;
uniform int lightType[MAX_SHADER_LIGHTS];
uniform vec3 lightPosition[MAX_SHADER_LIGHTS];
uniform vec3 lightDirection[MAX_SHADER_LIGHTS];
uniform vec3 lightIntensity[MAX_SHADER_LIGHTS];
uniform float lightRange[MAX_SHADER_LIGHTS];
uniform float lightAngle[MAX_SHADER_LIGHTS];

out vec4 fragColor;
out vec4 fragData;

ivec2 mapSize;

float heightAt(vec2 pixel) {
    ivec2 at = clamp(ivec2(floor(pixel)), ivec2(0), mapSize - 1);
    return texelFetch(colorTexture, at, 0).r * HEIGHT_SCALE;
}

// 1 in full light, towards 0 behind higher ground, with a soft edge.
float sunlight(vec2 pixel, float height, vec3 toLight, vec2 unitsPerPixel) {
    // Map columns run against x and rows against z.
    vec2 across = vec2(-toLight.x / unitsPerPixel.x, -toLight.z / unitsPerPixel.y);
    float reach = length(across);
    if (reach < 1e-4) return 1.0;
    float rise = toLight.y / length(toLight.xz);  // height gained per unit travelled
    vec2 step = across / reach * SHADOW_STEP;
    float stepUnits = length(step * unitsPerPixel);
    float light = 1.0;
    // Steps in runs of a fixed length, which software GL unrolls, with the
    // test to stop only after each run: a loop's every pass costs it dearly.
    // A step past the stop changes nothing, since no ground rises above
    // HEIGHT_SCALE and the light never grows back from 0.
    for (int run = 0; run < SHADOW_STEPS / RUN; ++run) {
        for (int j = 1; j <= RUN; ++j) {
            int i = run * RUN + j;
            float travelled = float(i) * stepUnits;
            float ray = height + 1.0 + rise * travelled;
            float ground = heightAt(pixel + step * float(i));
            light = min(light, clamp(1.0 - (ground - ray) * 8.0 / travelled, 0.0, 1.0));
        }
        if (light <= 0.0 || height + 1.0 + rise * (float((run + 1) * RUN) * stepUnits) > HEIGHT_SCALE) break;
    }
    return light;
}

void main() {
    mapSize = textureSize(colorTexture, 0);
    vec2 unitsPerPixel = vec2(TERRAIN_EXTENT) / vec2(mapSize);
    vec2 pixel = gl_FragCoord.xy;
    float height = heightAt(pixel);
    float dx = (heightAt(pixel - vec2(1.0, 0.0)) - heightAt(pixel + vec2(1.0, 0.0))) / (2.0 * unitsPerPixel.x);
    float dz = (heightAt(pixel - vec2(0.0, 1.0)) - heightAt(pixel + vec2(0.0, 1.0))) / (2.0 * unitsPerPixel.y);
    vec3 normal = normalize(vec3(-dx, 1.0, -dz));
    vec3 worldNormal = normalize((vec4(normal, 0.0) * iTRotMat).xyz);

    vec3 light = vec3(0.0);
    int count = min(lightCount, MAX_SHADER_LIGHTS);
    for (int k = 0; k < count; ++k) {
        if (lightType[k] == LIGHT_AMBIENT) {
            light += lightIntensity[k];
        } else if (lightType[k] == LIGHT_DIRECTIONAL) {
            vec3 toLight = -lightDirection[k];
            float diffuse = max(dot(worldNormal, toLight), 0.0);
            if (diffuse > 0.0) {
                vec3 toLightLocal = (iTRotMat * vec4(toLight, 0.0)).xyz;
                diffuse *= sunlight(pixel, height, toLightLocal, unitsPerPixel);
            }
            light += lightIntensity[k] * diffuse;
        }
        // Lamps and spots are lit live by the terrain shader.
    }
    fragColor = vec4(clamp(light, 0.0, 1.0), 1.0);
    fragData = vec4(0.0);
}
