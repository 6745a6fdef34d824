#version 330 core

in vec3 in_position;
in vec3 in_normal;
in vec3 in_uv;

uniform mat4 projectionMatrix;
uniform mat4 transformationMatrix;
uniform mat4 viewMatrix;
// The transposed model matrix: applied from the right it turns a normal like
// the model's rotation.
uniform mat3 normalMatrix;
// This frame's projection x view x model inverted, and last frame's product.
uniform mat4 iMvp;
uniform mat4 lastMvp;

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 modelPosition;
out vec3 texCoord;
// Screen positions now and one frame ago, as x, y and w of clip space: both
// interpolate linearly in clip space, so dividing per fragment gives exactly
// the point's motion on screen.
out vec3 clipNow;
out vec3 clipBefore;

void main() {
    vec4 world = transformationMatrix * vec4(in_position, 1.0);
    worldPosition = world.xyz;
    worldNormal = in_normal * normalMatrix;
    modelPosition = in_position;
    texCoord = in_uv;
    // Two matrix-vector products, not a matrix product per vertex.
    vec4 clip = projectionMatrix * (viewMatrix * world);
    // Back through this frame's inverse to the model, then last frame's view.
    vec4 before = lastMvp * (iMvp * clip);
    clipNow = clip.xyw;
    clipBefore = before.xyw;
    gl_Position = clip;
}
