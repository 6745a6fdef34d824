#pragma once

#include <functional>

// Turns frame times into fixed simulation steps: real time goes into an
// accumulator, whole steps come out and the remainder waits for the next
// frame. The world then flies the same at any frame rate.
class StepClock {
public:
    static constexpr double STEP = 1.0 / 60.0;
    // A frame simulates at most this much; a longer stall is dropped, so the
    // player never flies into a wall unseen and the race clock does not pay.
    static constexpr int MAX_STEPS = 15;

    // Steps of `step` seconds: the game's are STEP long; a test of the flow
    // around the step may take one step a frame.
    explicit StepClock(double step = STEP) : stepLength(step) {}
    double step() const { return stepLength; }

    // Adds a frame's time and returns how many steps to run now.
    int advance(double frameSeconds);
    // advance, then calls `step` with the step's length that many times;
    // returns the count.
    int run(double frameSeconds, const std::function<void(double)>& step);
    // Simulated time not yet stepped, always below one step.
    double remainder() const { return accumulated; }
    void reset() { accumulated = 0.0; }

private:
    double stepLength;
    double accumulated = 0.0;
};
