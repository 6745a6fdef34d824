#include "app/StepClock.h"

namespace {
// Sixty frames of exactly 1/60 s must give sixty steps despite rounding.
constexpr double TOLERANCE = 1e-9;
}

int StepClock::advance(double frameSeconds) {
    // A clock that runs backwards or is broken adds nothing.
    if (frameSeconds > 0.0) accumulated += frameSeconds;
    int steps = 0;
    while (accumulated >= stepLength - TOLERANCE && steps < MAX_STEPS) {
        accumulated -= stepLength;
        ++steps;
    }
    if (accumulated >= stepLength - TOLERANCE) {
        accumulated = 0.0;
    } else if (accumulated < 0.0) {
        accumulated = 0.0;
    }
    return steps;
}

int StepClock::run(double frameSeconds, const std::function<void(double)>& step) {
    const int steps = advance(frameSeconds);
    for (int k = 0; k < steps; ++k) step(stepLength);
    return steps;
}
