#version 330 core

// The scene drawn at a share of the window, in the lower-left sceneSize
// texels of its target (blurred there already when the blur is on), put on
// the whole window with one bilinear sample a pixel: the software renderer
// runs this for every window pixel, so it does nothing else.

uniform sampler2D colorTexture;
uniform vec2 screenDimensions;
uniform vec2 sceneSize;

in vec2 uv;

out vec4 fragColor;
out vec4 fragData;

void main() {
    vec2 texelSize = 1.0 / vec2(textureSize(colorTexture, 0));
    // This window pixel's centre in scene texels, kept half a texel inside
    // the drawn part: bilinear samples at its edge do not reach beyond.
    vec2 here = gl_FragCoord.xy * sceneSize / screenDimensions;
    fragColor = texture(colorTexture, clamp(here, vec2(0.5), sceneSize - 0.5) * texelSize);
    fragData = vec4(0.0);
}
