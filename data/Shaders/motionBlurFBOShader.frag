#version 330 core

// Same encoding as the geometry shaders' motion output.
const float MOTION_SCALE = 2.0;
const int SAMPLES = 8;

uniform sampler2D colorTexture;
uniform sampler2D dataTexture;
uniform float playerSpeedMult;
uniform vec2 screenDimensions;

in vec2 uv;

out vec4 fragColor;
out vec4 fragData;

void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    vec4 scene = texelFetch(colorTexture, pixel, 0);
    fragData = vec4(0.0);
    // Up to blur speed the scene goes through untouched.
    if (playerSpeedMult <= 0.0) {
        fragColor = scene;
        return;
    }
    vec2 stored = texelFetch(dataTexture, pixel, 0).xy * 255.0;
    vec2 motion = (stored - 127.0) / 127.0 / MOTION_SCALE;
    // Motion is in normalised device units (2 per screen); trail behind it.
    vec2 trail = motion * 0.5 * playerSpeedMult;
    vec2 size = vec2(textureSize(colorTexture, 0));
    vec2 here = (vec2(pixel) + 0.5) / size;
    vec4 sum = scene;
    for (int i = 1; i < SAMPLES; ++i) {
        vec2 at = clamp(here - trail * (float(i) / float(SAMPLES - 1)), vec2(0.0), vec2(1.0));
        sum += texture(colorTexture, at);
    }
    fragColor = sum / float(SAMPLES);
}
