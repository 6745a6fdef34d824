#version 330 core

// One generation step of an emitter's snowfall, written back through
// transform feedback.
//
// Record types:
//   0      the launcher: stays at the emitter and lets new flakes fall from
//          the top of a wide column below it;
//   1      a flake: drifts, flutters and falls until it has fallen through
//          the column or outlived gSimpleParticleLifetime;
//   2 + g  a starter of generation g: only in the first passes, it turns into
//          a flake and leaves 15 starters of generation g - 1 (plain flakes
//          for g = 0) at random heights, so the whole column is snowing after
//          three passes instead of after a minute and a half.
layout(points) in;
layout(points, max_vertices = 16) out;

in float Type0[];
in vec3 Position0[];
in vec3 Velocity0[];
in float Age0[];

out float Type1;
out vec3 Position1;
out vec3 Velocity1;
out float Age1;

uniform float gDeltaTimeMillis;
uniform float gSimpleParticleLifetime;
uniform vec3 gEmitterPosition;
uniform vec3 gRandomSpeed;
uniform vec3 gUserSpeed;

const float TYPE_LAUNCHER = 0.0;
const float TYPE_FLAKE = 1.0;
const float TYPE_STARTER = 2.0;

const float COLUMN_RADIUS = 100.0;      // snow falls over this disc around the emitter
const float COLUMN_DEPTH = 300.0;       // and this far below it
const float FLAKES_PER_SECOND = 80.0;   // steady state about 7,500 flakes per emitter
const int MAX_NEW_PER_PASS = 15;        // max_vertices less the launcher itself
const int FIRST_STARTERS = 2;           // 2 * (1 + 15 * (1 + 15 * 16)) = 7,232 flakes
const float STARTER_GENERATIONS = 2.0;

uint hash(uint x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

float random01(inout uint state) {
    state = hash(state);
    return float(state >> 8) / 16777216.0;
}

uint seedFrom(vec3 a, vec3 b, float c) {
    uint s = hash(floatBitsToUint(a.x) ^ 0x9e3779b9u);
    s = hash(s ^ floatBitsToUint(a.y));
    s = hash(s ^ floatBitsToUint(a.z));
    s = hash(s ^ floatBitsToUint(b.x));
    s = hash(s ^ floatBitsToUint(b.y));
    s = hash(s ^ floatBitsToUint(b.z));
    return hash(s ^ floatBitsToUint(c));
}

void emitRecord(float type, vec3 position, vec3 velocity, float age) {
    Type1 = type;
    Position1 = position;
    Velocity1 = velocity;
    Age1 = age;
    EmitVertex();
    EndPrimitive();
}

// A flake's own fall and drift: mostly down, pushed a little by this pass's
// random speed so neighbouring flakes do not fall in step.
vec3 flakeVelocity(inout uint state) {
    float fall = 2.5 + random01(state) + 0.02 * -gRandomSpeed.y;
    float driftX = 0.03 * gRandomSpeed.x + 0.6 * (random01(state) - 0.5);
    float driftZ = 0.03 * gRandomSpeed.z + 0.6 * (random01(state) - 0.5);
    return vec3(driftX, -fall, driftZ);
}

vec3 pointInColumn(inout uint state, float depth) {
    float angle = 6.2831853 * random01(state);
    float radius = COLUMN_RADIUS * sqrt(random01(state));
    return gEmitterPosition + vec3(radius * cos(angle), -depth, radius * sin(angle));
}

// A flake that has already been falling for `depth` units.
void emitFlakeAtDepth(inout uint state, float depth) {
    vec3 velocity = flakeVelocity(state);
    emitRecord(TYPE_FLAKE, pointInColumn(state, depth), velocity, depth / -velocity.y * 1000.0);
}

void main() {
    float type = Type0[0];
    vec3 position = Position0[0];
    vec3 velocity = Velocity0[0];
    float age = Age0[0] + gDeltaTimeMillis;

    if (type == TYPE_LAUNCHER) {
        // velocity.x counts the starters let go, velocity.z the passes run.
        // The launcher goes out first so it keeps record 0.
        uint state = seedFrom(gRandomSpeed, gEmitterPosition, velocity.z);
        int starters = int(velocity.x);
        int newStarters = 0;
        int newFlakes = 0;
        if (starters < FIRST_STARTERS) {
            newStarters = min(FIRST_STARTERS - starters, MAX_NEW_PER_PASS);
            velocity.x = float(starters + newStarters);
            age = 0.0;
        } else {
            float interval = 1000.0 / FLAKES_PER_SECOND;
            newFlakes = int(age / interval);
            // A long stall does not pile a burst of flakes onto one pass.
            if (newFlakes > MAX_NEW_PER_PASS) {
                newFlakes = MAX_NEW_PER_PASS;
                age = 0.0;
            } else {
                age -= float(newFlakes) * interval;
            }
        }
        velocity.z = mod(velocity.z + 1.0, 65536.0);
        emitRecord(TYPE_LAUNCHER, gEmitterPosition, velocity, age);

        for (int i = 0; i < newStarters; ++i) {
            vec3 v = flakeVelocity(state);
            emitRecord(TYPE_STARTER + STARTER_GENERATIONS, pointInColumn(state, COLUMN_DEPTH * random01(state)), v,
                       0.0);
        }
        for (int i = 0; i < newFlakes; ++i) emitFlakeAtDepth(state, 10.0 * random01(state));
        return;
    }

    if (type >= TYPE_STARTER) {
        float generation = type - TYPE_STARTER;
        uint state = seedFrom(position, velocity, generation);
        emitRecord(TYPE_FLAKE, position, velocity, (gEmitterPosition.y - position.y) / -velocity.y * 1000.0);
        for (int i = 0; i < MAX_NEW_PER_PASS; ++i) {
            if (generation >= 1.0) {
                vec3 v = flakeVelocity(state);
                emitRecord(type - 1.0, pointInColumn(state, COLUMN_DEPTH * random01(state)), v, 0.0);
            } else {
                emitFlakeAtDepth(state, COLUMN_DEPTH * random01(state));
            }
        }
        return;
    }

    // A flake.
    if (age > gSimpleParticleLifetime) return;
    float seconds = gDeltaTimeMillis * 0.001;
    float t = age * 0.001;
    float phase = velocity.x * 37.0 + velocity.z * 53.0;
    vec3 flutter = 0.5 * vec3(sin(t * 0.9 + phase), 0.0, cos(t * 0.7 + phase * 1.3));
    position += (velocity + gUserSpeed + flutter) * seconds;
    if (position.y < gEmitterPosition.y - COLUMN_DEPTH) return;
    emitRecord(TYPE_FLAKE, position, velocity, age);
}
