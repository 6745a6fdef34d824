#version 330 core

uniform sampler2D colorTexture;

in vec2 uv;

out vec4 fragColor;
out vec4 fragData;

void main() {
    fragColor = texture(colorTexture, uv);
    fragData = vec4(0.0);
}
