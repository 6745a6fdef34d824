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

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 modelPosition;
in vec3 texCoord;   // (column / 50, height / 50, row / 50)
in vec4 clipPosition;

uniform mat4 iMvp;
uniform mat4 lastMvp;

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

vec3 shade(int k, vec3 n, vec3 p) {
    int type = lightType[k];
    if (type == 0) return lightIntensity[k];
    vec3 toLight;
    float strength = 1.0;
    if (type == 1) {
        toLight = -lightDirection[k];
    } else if (type == 2 || type == 3) {
        vec3 offset = lightPosition[k] - p;
        float d = length(offset);
        if (d >= lightRange[k] || d <= 0.0) return vec3(0.0);
        toLight = offset / d;
        float falloff = 1.0 - d / lightRange[k];
        strength = falloff * falloff;
        if (type == 3) {
            float outer = coneCos(lightAngle[k]);
            float inner = coneCos(lightAngle[k] * 0.8);
            strength *= smoothstep(outer, inner, dot(-toLight, lightDirection[k]));
        }
    } else {
        return vec3(0.0);
    }
    return lightIntensity[k] * strength * max(dot(n, toLight), 0.0);
}

vec4 encodeMotion() {
    vec2 ndc = clipPosition.xy / clipPosition.w;
    vec4 local = iMvp * vec4(ndc, clipPosition.z / clipPosition.w, 1.0);
    vec4 before = lastMvp * vec4(local.xyz / local.w, 1.0);
    vec2 motion = ndc - before.xy / before.w;
    vec2 stored = (clamp(motion * MOTION_SCALE, -1.0, 1.0) * 127.0 + 127.0) / 255.0;
    return vec4(stored, 0.0, 1.0);
}

void main() {
    vec2 planar = texCoord.xz * TILING;
    vec3 snow = textureCount > 0 ? texture(texture0, planar).rgb : vec3(0.95);
    vec3 grass = textureCount > 1 ? texture(texture1, planar).rgb : vec3(0.3, 0.5, 0.25);
    vec3 n = normalize(worldNormal);
    // Snow lies on the heights and slides off steep faces; the grass texture
    // breaks up the snow line.
    float snowLine = texCoord.y + (grass.g - 0.4) * 0.8 + (n.y - 0.85) * 2.0;
    vec3 albedo = mix(grass, snow, smoothstep(1.6, 2.3, snowLine));

    vec3 sky = vec3(0.0);
    vec3 lamps = vec3(0.0);
    int count = min(lightCount, MAX_SHADER_LIGHTS);
    bool baked = textureCount > 2;
    for (int k = 0; k < count; ++k) {
        int type = lightType[k];
        if (type == 0 || type == 1) {
            sky += baked ? lightIntensity[k] : shade(k, n, worldPosition);
        } else {
            lamps += shade(k, n, worldPosition);
        }
    }
    vec3 light = sky;
    if (baked) {
        // The map's column runs against x and its row against z.
        vec2 mapUv = vec2(0.5 - modelPosition.x / TERRAIN_EXTENT, 0.5 - modelPosition.z / TERRAIN_EXTENT) +
                     vec2(-0.5, 0.5) / LIGHT_MAP_SIZE;
        light = texture(texture2, mapUv).rgb * clamp(sky / DAY_LIGHT, 0.0, 1.0);
    }
    vec3 color = albedo * (light + lamps);
    if (fogEnabled != 0) {
        float depth = fogDensity * length(worldPosition - cameraWorldPos) / fogRange;
        color = mix(fogColor, color, exp(-depth * depth));
    }
    fragColor = vec4(color, alpha);
    fragData = encodeMotion();
}
