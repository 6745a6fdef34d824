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

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 modelPosition;
out vec3 texCoord;
out vec4 clipPosition;

void main() {
    vec4 world = transformationMatrix * vec4(in_position, 1.0);
    worldPosition = world.xyz;
    worldNormal = in_normal * normalMatrix;
    modelPosition = in_position;
    texCoord = in_uv;
    clipPosition = projectionMatrix * viewMatrix * world;
    gl_Position = clipPosition;
}
