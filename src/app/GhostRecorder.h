#pragma once

#include "player/GhostTrack.h"

// Records the run being flown, one pose every second simulation step, from
// the run's first step until the race clock stops at the finish.
class GhostRecorder {
public:
    // After each simulation step. `runStarted`: the race clock stood at 0
    // before this step, so the step began a new run of `level`. `raceTime`
    // is the clock after the step and `pose` the figure's pose after it.
    void afterStep(bool runStarted, int level, double raceTime, const GhostPose& pose);
    // The run so far; usable when it was recorded from its start and did not
    // outgrow the track.
    const GhostTrack& run() const { return track; }
    bool usable() const { return recording && !track.samples.empty(); }

private:
    GhostTrack track;
    bool recording = false;
    long lastStep = 0;
};
