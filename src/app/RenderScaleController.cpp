#include "app/RenderScaleController.h"

#include <algorithm>
#include <vector>

void RenderScaleController::frame(double seconds) {
    if (seconds > STALL_SECONDS && heldStall == 0.0) {
        heldStall = seconds;
        return;
    }
    // Two long frames in a row are the machine's pace, not a stall.
    if (heldStall > 0.0) {
        if (seconds > STALL_SECONDS) {
            window.push_back(heldStall);
            windowSeconds += heldStall;
        }
        heldStall = 0.0;
    }
    window.push_back(seconds);
    windowSeconds += seconds;
    while (window.size() > size_t(WINDOW_MIN_FRAMES) && windowSeconds - window.front() >= WINDOW_SECONDS) {
        windowSeconds -= window.front();
        window.pop_front();
    }
    if (window.size() >= size_t(WINDOW_MIN_FRAMES) && windowSeconds >= WINDOW_SECONDS) judge();
}

void RenderScaleController::judge() {
    std::vector<double> sorted(window.begin(), window.end());
    std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
    const double median = sorted[sorted.size() / 2];
    float next = current;
    if (median > TARGET_SECONDS + LATE_MARGIN_SECONDS) {
        next = std::max(MIN_SCALE, current - STEP);
    } else if (current < 1.0f) {
        const float up = std::min(1.0f, current + STEP);
        const double growth = double(up * up) / double(current * current);
        if (median * growth <= TARGET_SECONDS * RAISE_SHARE) next = up;
    }
    if (next == current) return;
    current = next;
    // Frames drawn at the old scale say nothing about the new one.
    window.clear();
    windowSeconds = 0.0;
}

void RenderScaleController::interrupt() {
    window.clear();
    windowSeconds = 0.0;
    heldStall = 0.0;
}

void RenderScaleController::reset() {
    interrupt();
    current = 1.0f;
}
