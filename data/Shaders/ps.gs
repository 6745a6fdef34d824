#version 330 core

// One generation step of an emitter's snowfall, written back through
// transform feedback.
//
// Record types:
//   0      the launcher: stays at the emitter and lets new flakes fall from
//          the top of a wide column below it;
//   1      a flake: drifts, flutters and falls until it has sunk below any
//          ground or outlived gSimpleParticleLifetime;
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
// From world space to the ground's grid: x its column, y the height above
// the terrain's zero height (which the level tilts), z its row.
uniform mat4 gToGround;
// For each grid vertex the lowest ground among the 3 x 3 vertices from it;
// read only where gGroundKnown is not 0.
uniform sampler2D gGroundFloor;
uniform int gGroundKnown;

const float TYPE_LAUNCHER = 0.0;
const float TYPE_FLAKE = 1.0;
const float TYPE_STARTER = 2.0;

// A flake's square has its corners within half a unit of its centre. Once
// all of it has sunk under the ground it is hidden for good, and dropping it
// spares the update and the draw. No ground lies below the terrain's zero
// height, whatever the grid.
const float SQUARE_REACH = 0.5;
const float FLAKES_PER_SECOND = 80.0;   // steady state about 6,200 flakes per emitter
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

// A flake's own fall and drift from three random numbers: mostly down,
// pushed a little by this pass's random speed so neighbouring flakes do not
// fall in step. The game culls whole snowfalls by where these speeds, the
// flutter and the column can take a flake (EmitterNode.h).
vec3 flakeVelocity(float r0, float r1, float r2) {
    float fall = FLAKE_FALL + FLAKE_FALL_SPREAD * r0 + FLAKE_GUST_FALL * -gRandomSpeed.y;
    float driftX = FLAKE_GUST_DRIFT * gRandomSpeed.x + FLAKE_DRIFT_SPREAD * (r1 - 0.5);
    float driftZ = FLAKE_GUST_DRIFT * gRandomSpeed.z + FLAKE_DRIFT_SPREAD * (r2 - 0.5);
    return vec3(driftX, -fall, driftZ);
}

// A point `depth` below the top of the column, from two random numbers.
vec3 pointInColumn(float r0, float r1, float depth) {
    float angle = 6.2831853 * r0;
    float radius = SNOW_COLUMN_RADIUS * sqrt(r1);
    return gEmitterPosition + vec3(radius * cos(angle), -depth, radius * sin(angle));
}

// Whether the whole square of a flake centred at p lies under the ground.
bool buried(vec3 p) {
    vec3 there = (gToGround * vec4(p, 1.0)).xyz;
    if (there.y < -SQUARE_REACH) return true;
    // The square's reach in grid units; each row of the matrix scales one.
    vec3 reach = SQUARE_REACH * vec3(length(vec3(gToGround[0][0], gToGround[1][0], gToGround[2][0])),
                                     length(vec3(gToGround[0][1], gToGround[1][1], gToGround[2][1])),
                                     length(vec3(gToGround[0][2], gToGround[1][2], gToGround[2][2])));
    // The cells the square touches (at most two each way while it is under
    // half a cell) have their corners among the 3 x 3 vertices from `first`,
    // and no ground within a cell lies below all four of its corners.
    ivec2 first = ivec2(floor(there.xz - reach.xz));
    ivec2 size = textureSize(gGroundFloor, 0);
    bool onGrid = gGroundKnown != 0 && all(lessThan(reach.xz, vec2(0.5))) && all(greaterThanEqual(first, ivec2(0))) &&
                  all(lessThan(first + 2, size));
    float lowest = texelFetch(gGroundFloor, clamp(first, ivec2(0), max(size - 1, ivec2(0))), 0).r;
    return onGrid && there.y + reach.y < lowest;
}

// Software GL runs every line of a shader for every record, both sides of
// each branch and the first pass of each loop. So the three kinds of record
// share one path: each gives its own next record, then its `children` new
// ones in one loop, which plain flakes, by far the most, leave at once.
void main() {
    float type = Type0[0];
    vec3 position = Position0[0];
    vec3 velocity = Velocity0[0];
    float age = Age0[0] + gDeltaTimeMillis;
    bool launcher = type == TYPE_LAUNCHER;
    bool starter = type >= TYPE_STARTER;

    // The launcher: velocity.x counts the starters let go, velocity.z the
    // passes run. It goes out first so it keeps record 0.
    int starters = int(velocity.x);
    bool seeding = starters < FIRST_STARTERS;
    int newStarters = seeding ? min(FIRST_STARTERS - starters, MAX_NEW_PER_PASS) : 0;
    float interval = 1000.0 / FLAKES_PER_SECOND;
    int due = seeding ? 0 : int(age / interval);
    // A long stall does not pile a burst of flakes onto one pass.
    int newFlakes = min(due, MAX_NEW_PER_PASS);
    float launcherAge = seeding || due > MAX_NEW_PER_PASS ? 0.0 : age - float(newFlakes) * interval;
    vec3 launcherVelocity = vec3(seeding ? float(starters + newStarters) : velocity.x, velocity.y,
                                 mod(velocity.z + 1.0, 65536.0));

    // A starter turns into a flake where it is.
    float generation = type - TYPE_STARTER;
    float starterAge = (gEmitterPosition.y - position.y) / -velocity.y * 1000.0;

    // A flake drifts, flutters and falls until it has sunk below any ground
    // or outlived gSimpleParticleLifetime.
    float seconds = gDeltaTimeMillis * 0.001;
    float t = age * 0.001;
    float phase = velocity.x * 37.0 + velocity.z * 53.0;
    vec3 flutter = FLAKE_FLUTTER * vec3(sin(t * 0.9 + phase), 0.0, cos(t * 0.7 + phase * 1.3));
    vec3 fallen = position + (velocity + flutter) * seconds;
    bool flakeLives = age <= gSimpleParticleLifetime && !buried(fallen);

    if (launcher) {
        emitRecord(TYPE_LAUNCHER, gEmitterPosition, launcherVelocity, launcherAge);
    } else if (starter) {
        emitRecord(TYPE_FLAKE, position, velocity, starterAge);
    } else if (flakeLives) {
        emitRecord(TYPE_FLAKE, fallen, velocity, age);
    }

    // The children. A starter of generation g leaves 15 starters of
    // generation g - 1 at random heights (plain flakes for g = 0), so the
    // whole column is snowing after three passes instead of after a minute
    // and a half; the launcher lets its starters go and new flakes fall from
    // the top of the column.
    int children = launcher ? newStarters + newFlakes : starter ? MAX_NEW_PER_PASS : 0;
    uint state = launcher ? seedFrom(gRandomSpeed, gEmitterPosition, velocity.z) : seedFrom(position, velocity, generation);
    for (int i = 0; i < children; ++i) {
        // A new flake is placed before it is given its fall, a new starter after.
        bool flake = launcher ? i >= newStarters : generation < 1.0;
        float r0 = random01(state), r1 = random01(state), r2 = random01(state), r3 = random01(state);
        float r4 = random01(state), r5 = random01(state);
        vec3 v = flake ? flakeVelocity(r1, r2, r3) : flakeVelocity(r0, r1, r2);
        float depth = (launcher && flake ? 10.0 : SNOW_COLUMN_DEPTH) * (flake ? r0 : r3);
        vec3 at = pointInColumn(r4, r5, depth);
        float childType = flake ? TYPE_FLAKE : launcher ? TYPE_STARTER + STARTER_GENERATIONS : type - 1.0;
        emitRecord(childType, at, v, flake ? depth / -v.y * 1000.0 : 0.0);
    }
}
