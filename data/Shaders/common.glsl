// What the geometry programs share; the shader loader splices this file in
// where a program names it with #include.

uniform int fogEnabled;
uniform vec3 fogColor;
uniform float fogRange;
uniform float fogDensity;

// cos of an angle in degrees by its series: software GL pays dearly for
// cos(), and cone angles stay well below 90 degrees.
float coneCos(float degrees) {
    float x = radians(degrees);
    float x2 = x * x;
    return 1.0 + x2 * (-0.5 + x2 * (1.0 / 24.0 + x2 * (-1.0 / 720.0 + x2 * (1.0 / 40320.0))));
}

// How much of a spot of `angle` degrees about `axis` reaches a point that
// lies along -toLight from it: 1 well inside the cone, fading to 0 at its edge.
float spotCone(float angle, vec3 axis, vec3 toLight) {
    return smoothstep(coneCos(angle), coneCos(angle * 0.8), dot(-toLight, axis));
}

// The colour seen through the fog from `eye`, when fog is on.
vec3 fogged(vec3 color, vec3 position, vec3 eye) {
    if (fogEnabled == 0) return color;
    float depth = fogDensity * length(position - eye) / fogRange;
    return mix(fogColor, color, exp(-depth * depth));
}

// The point's motion on screen since the last frame, from its clip space x, y
// and w now and then, stored for the motion-blur pass.
vec4 encodeMotion(vec3 clipNow, vec3 clipBefore) {
    vec2 motion = clipNow.xy / clipNow.z - clipBefore.xy / clipBefore.z;
    vec2 stored = (clamp(motion * MOTION_SCALE, -1.0, 1.0) * 127.0 + 127.0) / 255.0;
    return vec4(stored, 0.0, 1.0);
}
