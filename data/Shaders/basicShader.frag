#version 330 core

// Must match MAX_SHADER_LIGHTS on the C++ side.
const int MAX_SHADER_LIGHTS = 64;
// Screen-space motion is stored as 127 +- 127 * motion * MOTION_SCALE per
// channel; the motion-blur pass decodes with the same numbers.
const float MOTION_SCALE = 2.0;

in vec3 worldPosition;
in vec3 worldNormal;
in vec3 modelPosition;
in vec3 texCoord;
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

uniform int textureCount;
uniform sampler2D texture0;

out vec4 fragColor;
out vec4 fragData;

// cos of an angle in degrees by its series: software GL pays dearly for
// cos(), and cone angles stay well below 90 degrees.
float coneCos(float degrees) {
    float x = radians(degrees);
    float x2 = x * x;
    return 1.0 + x2 * (-0.5 + x2 * (1.0 / 24.0 + x2 * (-1.0 / 720.0 + x2 * (1.0 / 40320.0))));
}

// Diffuse plus a soft highlight of one light at point p with normal n.
vec3 shade(int k, vec3 n, vec3 p, vec3 toEye) {
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
        return vec3(0.0);  // switched off
    }
    float diffuse = dot(n, toLight);
    if (diffuse <= 0.0) return vec3(0.0);
    float highlight = max(dot(n, normalize(toLight + toEye)), 0.0);
    highlight *= highlight;  // to the 32nd power by squaring, cheaper than pow()
    highlight *= highlight;
    highlight *= highlight;
    highlight *= highlight;
    highlight *= highlight;
    highlight *= 0.25;
    return lightIntensity[k] * strength * (diffuse + highlight);
}

vec4 encodeMotion() {
    vec2 motion = clipNow.xy / clipNow.z - clipBefore.xy / clipBefore.z;
    vec2 stored = (clamp(motion * MOTION_SCALE, -1.0, 1.0) * 127.0 + 127.0) / 255.0;
    return vec4(stored, 0.0, 1.0);
}

void main() {
    vec4 albedo = textureCount > 0 ? texture(texture0, texCoord.xy) : vec4(1.0);
    vec3 n = normalize(worldNormal);
    vec3 toEye = normalize(cameraWorldPos - worldPosition);
    vec3 light = vec3(0.0);
    int count = min(lightCount, MAX_SHADER_LIGHTS);
    for (int k = 0; k < count; ++k) light += shade(k, n, worldPosition, toEye);
    vec3 color = albedo.rgb * light;
    if (fogEnabled != 0) {
        float depth = fogDensity * length(worldPosition - cameraWorldPos) / fogRange;
        color = mix(fogColor, color, exp(-depth * depth));
    }
    fragColor = vec4(color, albedo.a * alpha);
    fragData = encodeMotion();
}
