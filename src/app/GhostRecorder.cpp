#include "app/GhostRecorder.h"

#include <cmath>

#include "app/StepClock.h"

void GhostRecorder::afterStep(bool runStarted, int level, double raceTime, const GhostPose& pose) {
    if (runStarted) {
        track.level = level;
        track.samples.clear();
        recording = true;
        lastStep = 0;
    }
    if (!recording) return;
    const long step = std::lround(raceTime / StepClock::STEP);
    // The clock stands still past the finish: the run is complete.
    if (step == lastStep) return;
    lastStep = step;
    if (step % 2 == 0) return;
    if (track.samples.size() != size_t(step - 1) / 2 || track.samples.size() >= GhostTrack::MAX_SAMPLES) {
        // Out of step with the clock, or too long: no replay of this run.
        recording = false;
        return;
    }
    track.samples.push_back(pose);
}
