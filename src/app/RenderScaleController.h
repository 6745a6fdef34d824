#pragma once

#include <deque>

// Chooses the share of the window's width and height that the 3D scene is
// drawn at, so that frames keep to 30 a second: most of a frame on a software
// renderer is per-pixel work. It is told each frame's time and judges the
// last half second of frames by their median, so that one late frame moves
// nothing. Late frames lower the scale a step at a time; it rises again only
// when the next step up, were its every pixel paid in full, would still be
// well in time, so a steady load does not swing between two steps.
class RenderScaleController {
public:
    static constexpr double TARGET_SECONDS = 1.0 / 30.0;
    // Late is beyond the target by more than this: with vertical sync a
    // machine in time at 30 frames a second shows frames of 33.3 ms give or
    // take a little, and must not be pushed down.
    static constexpr double LATE_MARGIN_SECONDS = 0.0005;
    static constexpr float MIN_SCALE = 0.3f;
    static constexpr float STEP = 0.05f;
    // The frames judged together: at least this long and this many.
    static constexpr double WINDOW_SECONDS = 0.5;
    static constexpr int WINDOW_MIN_FRAMES = 5;
    // A step up is taken when the frames, grown by the step's extra pixels,
    // would take at most this share of the target.
    static constexpr double RAISE_SHARE = 0.85;
    // A frame this long is a stall (a level build, the window being moved),
    // not a load, unless the next frame is as long.
    static constexpr double STALL_SECONDS = 0.25;

    // One drawn frame's time in seconds, as the frame loop measured it.
    void frame(double seconds);
    // In place of `frame` for a frame that says nothing about the load (it
    // held a level build, the game was paused, the scale was fixed): the
    // frames before it are not judged either.
    void interrupt();
    // Back to the full window, as at start.
    void reset();
    float scale() const { return current; }

private:
    void judge();

    float current = 1.0f;
    std::deque<double> window;
    double windowSeconds = 0.0;
    double heldStall = 0.0;
};
