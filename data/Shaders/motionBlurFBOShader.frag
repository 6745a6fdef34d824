#version 330 core

// MOTION_SCALE: the geometry programs' encoding (encodeMotion in common.glsl).
const int SAMPLES = 8;
// Longest trail, as a share of the screen: a slow machine moves far between
// frames, and an unbounded trail would smear the whole view.
const float MAX_TRAIL = 0.03;

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
    float trailLength = length(trail);
    if (trailLength > MAX_TRAIL) trail *= MAX_TRAIL / trailLength;
    // A per-pixel shift of the samples turns the step pattern of a long
    // trail into fine grain.
    float jitter = fract(52.9829189 * fract(dot(gl_FragCoord.xy, vec2(0.06711056, 0.00583715))));
    // In pixels from here on. The scene fills the window's size of the
    // targets, or only their lower-left screenDimensions when it was drawn at
    // a share of the window (this pass then runs at that size too).
    ivec2 last = ivec2(screenDimensions) - 1;
    trail *= vec2(last + 1);
    vec2 here = vec2(pixel) + 0.5;
    // The scene is sampled nearest, so a trail needs no more than one sample
    // per pixel it crosses: one shorter than half a pixel keeps this pixel
    // alone, a short one takes few samples.
    vec2 reach = abs(trail);
    float pixels = max(reach.x, reach.y);
    int samples = pixels < 0.5 ? 1 : min(SAMPLES, int(ceil(pixels)) + 1);
    vec4 sum = scene;
    // A fixed count with a test per sample: software GL unrolls it, where a
    // loop of varying length costs it about a third more in flight.
    for (int i = 1; i < SAMPLES; ++i) {
        if (i < samples) {
            vec2 at = here - trail * ((float(i) - jitter) / float(samples - 1));
            // A trail that leaves the picture goes on with its edge pixels.
            // Below zero, rounding toward zero or down both clamp to 0.
            sum += texelFetch(colorTexture, clamp(ivec2(at), ivec2(0), last), 0);
        }
    }
    fragColor = sum / float(samples);
}
