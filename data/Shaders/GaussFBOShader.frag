#version 330 core

uniform sampler2D colorTexture;

out vec4 fragColor;
out vec4 fragData;

// A 5 x 5 binomial blur of the raw light map, clamped at the border.
void main() {
    const float weights[5] = float[5](1.0, 4.0, 6.0, 4.0, 1.0);
    ivec2 size = textureSize(colorTexture, 0);
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    vec4 sum = vec4(0.0);
    for (int y = -2; y <= 2; ++y) {
        for (int x = -2; x <= 2; ++x) {
            ivec2 at = clamp(pixel + ivec2(x, y), ivec2(0), size - 1);
            sum += texelFetch(colorTexture, at, 0) * weights[x + 2] * weights[y + 2];
        }
    }
    fragColor = vec4((sum / 256.0).rgb, 1.0);
    fragData = vec4(0.0);
}
