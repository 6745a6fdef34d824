#version 330 core

// Must match MAX_SHADER_LIGHTS on the C++ side.
const int MAX_SHADER_LIGHTS = 64;
const float MOTION_SCALE = 2.0;
// The terrain spans this many units on x and z, centred on its origin.
const float TERRAIN_EXTENT = 2048.0;
const float LIGHT_MAP_SIZE = 512.0;
// Texture repeats per 50 grid cells.
const float TILING = 4.0;
// Ambient plus directional light of a clear day: the light map was baked
// with it, so night dims the map by the ratio.
const float DAY_LIGHT = 1.6;

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
uniform int fogEnabled;
uniform vec3 fogColor;
uniform float fogRange;
uniform float fogDensity;
uniform vec3 cameraWorldPos;

// The variants' sum of the intensities of the lights after the lamps.
uniform vec3 skyLight;

uniform int textureCount;
uniform sampler2D texture0;  // snow
uniform sampler2D texture1;  // grass
uniform sampler2D texture2;  // light map

out vec4 fragColor;
out vec4 fragData;

// cos of an angle in degrees by its series: software GL pays dearly for
// cos(), and cone angles stay well below 90 degrees.
float coneCos(float degrees) {
    float x = radians(degrees);
    float x2 = x * x;
    return 1.0 + x2 * (-0.5 + x2 * (1.0 / 24.0 + x2 * (-1.0 / 720.0 + x2 * (1.0 / 40320.0))));
}

// Light k at point p with normal n, split into the sky's part (ambient and
// directional; only their intensity when the light map holds their shading)
// and the lamps' part (point and spot). Written without branches: software
// GL runs both sides of a branch anyway, and constant indices k let it read
// the uniforms once instead of per fragment.
void addLight(int k, vec3 n, vec3 p, bool baked, inout vec3 sky, inout vec3 lamps) {
    int type = lightType[k];
    vec3 intensity = lightIntensity[k];
    float facing = max(dot(n, -lightDirection[k]), 0.0);
    sky += type == 0 ? intensity : type == 1 ? intensity * (baked ? 1.0 : facing) : vec3(0.0);

    vec3 offset = lightPosition[k] - p;
    float d2 = dot(offset, offset);
    float inverse = inversesqrt(d2);
    vec3 toLight = offset * inverse;
    float falloff = max(1.0 - d2 * inverse / lightRange[k], 0.0);
    float cone = type == 3 ? smoothstep(coneCos(lightAngle[k]), coneCos(lightAngle[k] * 0.8),
                                        dot(-toLight, lightDirection[k]))
                           : 1.0;
    bool lamp = (type == 2 || type == 3) && d2 > 0.0;
    lamps += lamp ? intensity * (falloff * falloff * cone * max(dot(n, toLight), 0.0)) : vec3(0.0);
}

vec4 encodeMotion() {
    vec2 motion = clipNow.xy / clipNow.z - clipBefore.xy / clipBefore.z;
    vec2 stored = (clamp(motion * MOTION_SCALE, -1.0, 1.0) * 127.0 + 127.0) / 255.0;
    return vec4(stored, 0.0, 1.0);
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
    float snowLine = texCoord.y + (grass.g - 0.4) * 0.8 + (n.y - 0.85) * 2.0;
    vec3 albedo = mix(grass, snow, smoothstep(1.6, 2.3, snowLine));
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
        if (type != 0 && type != 1) break;
        float facing = max(dot(n, -lightDirection[k]), 0.0);
        sky += type == 0 ? lightIntensity[k] : lightIntensity[k] * (baked ? 1.0 : facing);
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
    if (fogEnabled != 0) {
        float depth = fogDensity * length(worldPosition - cameraWorldPos) / fogRange;
        color = mix(fogColor, color, exp(-depth * depth));
    }
#endif
    fragColor = vec4(color, alpha);
    fragData = encodeMotion();
}
