#pragma once

// The flight model's numbers, in one place for the figure, the autopilot and
// its route planner. Rates are per second of simulated time; angles degrees.
namespace flight {

constexpr float START_SPEED = 25.0f;

// Steering: keys and joystick axes turn at these rates.
constexpr float PITCH_RATE = 40.0f;
constexpr float ROLL_RATE = 70.0f;
constexpr float BROKEN_WING_ROLL = 30.0f;  // drift towards a broken wing
constexpr float YAW_FROM_BANK = 40.0f;     // times the right axis' height

// Speed: Space trades speed against the nose angle, gravity acts along the
// heading, drag is quadratic (1/375).
constexpr float FLAP_GAIN = 0.7f;
constexpr float GRAVITY = 30.0f;
constexpr float DRAG = 0.0026666667f;

// Below the stall speed the nose drops fast; above it it rises slowly.
constexpr float STALL_SPEED = 30.0f;
constexpr float NOSE_UP_RATE = 5.0f;
constexpr float NOSE_DOWN_RATE = 80.0f;

// Lift at the stall speed with level wings, and what is left of it with one
// or both wings broken.
constexpr float LIFT = 16.0f;
constexpr float ONE_WING_LIFT = 0.7f;
constexpr float NO_WING_LIFT = 0.3f;

// Altitudes are heights above the terrain's base plane (map heights 0-256).
// The figure sinks steadily, steeply above the ceiling, and flies faster
// close to the ground.
constexpr float SINK = 14.0f;
constexpr float CEILING = 240.0f;
constexpr float CEILING_SINK_BASE = 239.0f;  // the sink is SINK * (altitude - this) above the ceiling
constexpr float BOOST_ALTITUDE = 50.0f;
constexpr float BOOST_GAIN = 2.0f;  // extra distance per unit below BOOST_ALTITUDE

// Legs and wings swing with the steering and settle back.
constexpr float PITCH_SWING_RATE = 280.0f;
constexpr float ROLL_SWING_RATE = 490.0f;
constexpr float SWING_DECAY = 10.0f;

}  // namespace flight
