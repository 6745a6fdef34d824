#pragma once

struct GLFWgamepadstate;
class Input;

// A joystick that GLFW recognises as a gamepad, read by its layout instead of
// its raw axis and button numbers: the left stick steers, A is Joy1's next
// level, B is Joy2's restart and Start pauses. Back opens and closes the
// level board, where the d-pad, the stick and A choose.
struct Gamepad {
    // A resting stick reads a little off centre; this much of its travel
    // does nothing.
    static constexpr float DEAD_ZONE = 0.15f;

    // Same sense as a raw joystick's axes 0 and 1: roll positive = right,
    // pitch positive = nose up (the stick pulled back).
    float roll = 0.0f;
    float pitch = 0.0f;
    bool next = false;     // A
    bool restart = false;  // B
    bool start = false;    // Start
    bool back = false;     // Back
    bool up = false;       // d-pad up
    bool down = false;     // d-pad down

    static Gamepad fromState(const GLFWgamepadstate& state);
    // Fills `pad` and returns true when joystick `id` is a known gamepad.
    static bool read(Input& input, int id, Gamepad& pad);
};

// Drops the dead zone and stretches the rest back to -1..1, so the output
// starts at 0 at the zone's edge instead of jumping.
float stickDeadZone(float value);
