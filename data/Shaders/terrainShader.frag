#version 330 core

#include "common.glsl"

// The terrain spans TERRAIN_EXTENT units on x and z, centred on its origin.
// Texture repeats per 50 grid cells.
const float TILING = 4.0;

// The game also builds variants of this program for ground with a baked
// light map: without the fog; for ground too low for snow by the snow line
// below (GRASS_ONLY), whose numbers the game repeats to choose; and with a
// fixed number LAMP_SLOTS of lamps, which then come first in the light list,
// each read at a fixed place.
// Software GL runs every line of a shader, both sides of each branch and the
// first pass of each loop, and a loop over lamps costs far more than the same
// lamps written out: only code that is not there costs nothing.
#ifndef FOG
#define FOG 1
#endif
#ifndef GRASS_ONLY
#define GRASS_ONLY 0
#endif
#ifndef LAMP_SLOTS
#define LAMP_SLOTS -1
#endif

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 modelPosition;
in vec3 texCoord;   // (column / 50, height / 50, row / 50)
in vec3 clipNow;
in vec3 clipBefore;

uniform int lightCount;
uniform int lightType[MAX_SHADER_LIGHTS];
uniform vec3 lightPosition[MAX_SHADER_LIGHTS];
uniform vec3 lightDirection[MAX_SHADER_LIGHTS];
uniform vec3 lightIntensity[MAX_SHADER_LIGHTS];
uniform float lightRange[MAX_SHADER_LIGHTS];
uniform float lightAngle[MAX_SHADER_LIGHTS];

uniform float alpha;
uniform vec3 cameraWorldPos;

// The variants' sum of the intensities of the lights after the lamps.
uniform vec3 skyLight;

uniform int textureCount;
uniform sampler2D texture0;  // snow
uniform sampler2D texture1;  // grass
uniform sampler2D texture2;  // light map

out vec4 fragColor;
out vec4 fragData;

// Light k at point p with normal n, split into the sky's part (ambient and
// directional; only their intensity when the light map holds their shading)
// and the lamps' part (point and spot). Written without branches: software
// GL runs both sides of a branch anyway, and constant indices k let it read
// the uniforms once instead of per fragment.
void addLight(int k, vec3 n, vec3 p, bool baked, inout vec3 sky, inout vec3 lamps) {
    int type = lightType[k];
    vec3 intensity = lightIntensity[k];
    float facing = max(dot(n, -lightDirection[k]), 0.0);
    sky += type == LIGHT_AMBIENT ? intensity : type == LIGHT_DIRECTIONAL ? intensity * (baked ? 1.0 : facing) : vec3(0.0);

    vec3 offset = lightPosition[k] - p;
    float d2 = dot(offset, offset);
    float inverse = inversesqrt(d2);
    vec3 toLight = offset * inverse;
    float falloff = max(1.0 - d2 * inverse / lightRange[k], 0.0);
    float cone = type == LIGHT_SPOT ? spotCone(lightAngle[k], lightDirection[k], toLight) : 1.0;
    bool lamp = (type == LIGHT_POINT || type == LIGHT_SPOT) && d2 > 0.0;
    lamps += lamp ? intensity * (falloff * falloff * cone * max(dot(n, toLight), 0.0)) : vec3(0.0);
}

void main() {
    vec2 planar = texCoord.xz * TILING;
    vec3 n = normalize(worldNormal);
#if GRASS_ONLY
    vec3 albedo = textureCount > 1 ? texture(texture1, planar).rgb : vec3(0.3, 0.5, 0.25);
#else
    vec3 snow = textureCount > 0 ? texture(texture0, planar).rgb : vec3(0.95);
    vec3 grass = textureCount > 1 ? texture(texture1, planar).rgb : vec3(0.3, 0.5, 0.25);
    // Snow lies on the heights and slides off steep faces; the grass texture
    // breaks up the snow line.
    float snowLine = texCoord.y + (grass.g - SNOW_GRASS_GREEN) * SNOW_GRASS_WEIGHT + (n.y - SNOW_UP) * SNOW_UP_WEIGHT;
    vec3 albedo = mix(grass, snow, smoothstep(SNOW_LINE_LOW, SNOW_LINE_HIGH, snowLine));
#endif

    vec3 sky = vec3(0.0);
    vec3 lamps = vec3(0.0);
    bool baked = textureCount > 2;
#if LAMP_SLOTS < 0
    int count = min(lightCount, MAX_SHADER_LIGHTS);
    // The sky's lights come first in the list: they take only their cheap
    // part.
    int k = 0;
    for (; k < count; ++k) {
        int type = lightType[k];
        if (type != LIGHT_AMBIENT && type != LIGHT_DIRECTIONAL) break;
        float facing = max(dot(n, -lightDirection[k]), 0.0);
        sky += type == LIGHT_AMBIENT ? lightIntensity[k] : lightIntensity[k] * (baked ? 1.0 : facing);
    }
    for (; k < count; ++k) addLight(k, n, worldPosition, baked, sky, lamps);
#else
    // The light map holds the sky's shading: its lights add only their
    // intensity, summed once per draw rather than looped over per fragment.
    sky = skyLight;
#if LAMP_SLOTS > 0
    addLight(0, n, worldPosition, baked, sky, lamps);
#endif
#if LAMP_SLOTS > 1
    addLight(1, n, worldPosition, baked, sky, lamps);
#endif
#if LAMP_SLOTS > 2
    addLight(2, n, worldPosition, baked, sky, lamps);
#endif
#if LAMP_SLOTS > 3
    addLight(3, n, worldPosition, baked, sky, lamps);
#endif
#endif
    vec3 light = sky;
    if (baked) {
        // The map's column runs against x and its row against z.
        vec2 mapUv = vec2(0.5 - modelPosition.x / TERRAIN_EXTENT, 0.5 - modelPosition.z / TERRAIN_EXTENT) +
                     vec2(-0.5, 0.5) / LIGHT_MAP_SIZE;
        light = texture(texture2, mapUv).rgb * clamp(sky / DAY_LIGHT, 0.0, 1.0);
    }
    vec3 color = albedo * (light + lamps);
#if FOG
    color = fogged(color, worldPosition, cameraWorldPos);
#endif
    fragColor = vec4(color, alpha);
    fragData = encodeMotion(clipNow, clipBefore);
}
