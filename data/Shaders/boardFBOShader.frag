#version 330 core

// The level board's backdrop: the frozen picture of the game, darkened so
// that the board's white text reads over it, and a lighter band behind the
// selected row.
uniform sampler2D colorTexture;
// The band: left, bottom, right, top, as fractions of the window.
uniform vec4 band;

in vec2 uv;

out vec4 fragColor;

void main() {
    vec3 picture = texture(colorTexture, uv).rgb * 0.3;
    bool inBand = all(greaterThanEqual(uv, band.xy)) && all(lessThan(uv, band.zw));
    fragColor = vec4(inBand ? picture * 0.5 + vec3(0.16, 0.24, 0.36) : picture, 1.0);
}
