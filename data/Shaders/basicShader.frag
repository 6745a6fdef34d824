#version 330 core

#include "common.glsl"

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
uniform vec3 cameraWorldPos;

uniform int textureCount;
uniform sampler2D texture0;

out vec4 fragColor;
out vec4 fragData;

// Diffuse plus a soft highlight of one light at point p with normal n.
vec3 shade(int k, vec3 n, vec3 p, vec3 toEye) {
    int type = lightType[k];
    if (type == LIGHT_AMBIENT) return lightIntensity[k];
    vec3 toLight;
    float strength = 1.0;
    if (type == LIGHT_DIRECTIONAL) {
        toLight = -lightDirection[k];
    } else if (type == LIGHT_POINT || type == LIGHT_SPOT) {
        vec3 offset = lightPosition[k] - p;
        float d = length(offset);
        if (d >= lightRange[k] || d <= 0.0) return vec3(0.0);
        toLight = offset / d;
        float falloff = 1.0 - d / lightRange[k];
        strength = falloff * falloff;
        if (type == LIGHT_SPOT) strength *= spotCone(lightAngle[k], lightDirection[k], toLight);
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

void main() {
    vec4 albedo = textureCount > 0 ? texture(texture0, texCoord.xy) : vec4(1.0);
    vec3 n = normalize(worldNormal);
    vec3 toEye = normalize(cameraWorldPos - worldPosition);
    vec3 light = vec3(0.0);
    int count = min(lightCount, MAX_SHADER_LIGHTS);
    for (int k = 0; k < count; ++k) light += shade(k, n, worldPosition, toEye);
    vec3 color = fogged(albedo.rgb * light, worldPosition, cameraWorldPos);
    fragColor = vec4(color, albedo.a * alpha);
    fragData = encodeMotion(clipNow, clipBefore);
}
