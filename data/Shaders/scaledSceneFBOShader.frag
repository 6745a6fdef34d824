#version 330 core

// The scene drawn at a share of the window, in the lower-left sceneSize
// texels of its targets, put on the whole window: colour sampled bilinear,
// the motion of the nearest scene texel, and the blur of
// motionBlurFBOShader.frag with its trail measured in scene texels. The
// trail's samples are the nearest texels, as there: the software renderer
// pays several times as much for a filtered sample, and the trail's mean
// smooths them anyway.
const int SAMPLES = 8;
const float MAX_TRAIL = 0.03;

uniform sampler2D colorTexture;
uniform sampler2D dataTexture;
uniform float playerSpeedMult;
uniform vec2 screenDimensions;
uniform vec2 sceneSize;

in vec2 uv;

out vec4 fragColor;
out vec4 fragData;

// Bilinear within the drawn part: samples at its edge do not reach beyond.
vec4 sceneAt(vec2 texels, vec2 texelSize) {
    return texture(colorTexture, clamp(texels, vec2(0.5), sceneSize - 0.5) * texelSize);
}

void main() {
    vec2 texelSize = 1.0 / vec2(textureSize(colorTexture, 0));
    // This window pixel's centre in scene texels.
    vec2 here = gl_FragCoord.xy * sceneSize / screenDimensions;
    vec4 scene = sceneAt(here, texelSize);
    fragData = vec4(0.0);
    if (playerSpeedMult <= 0.0) {
        fragColor = scene;
        return;
    }
    ivec2 last = ivec2(sceneSize) - 1;
    vec2 stored = texelFetch(dataTexture, clamp(ivec2(here), ivec2(0), last), 0).xy * 255.0;
    vec2 motion = (stored - 127.0) / 127.0 / MOTION_SCALE;
    vec2 trail = motion * 0.5 * playerSpeedMult;
    float trailLength = length(trail);
    if (trailLength > MAX_TRAIL) trail *= MAX_TRAIL / trailLength;
    float jitter = fract(52.9829189 * fract(dot(gl_FragCoord.xy, vec2(0.06711056, 0.00583715))));
    trail *= sceneSize;
    vec2 reach = abs(trail);
    float pixels = max(reach.x, reach.y);
    int samples = pixels < 0.5 ? 1 : min(SAMPLES, int(ceil(pixels)) + 1);
    vec4 sum = scene;
    for (int i = 1; i < SAMPLES; ++i) {
        if (i < samples) {
            vec2 at = here - trail * ((float(i) - jitter) / float(samples - 1));
            sum += texelFetch(colorTexture, clamp(ivec2(at), ivec2(0), last), 0);
        }
    }
    fragColor = sum / float(samples);
}
