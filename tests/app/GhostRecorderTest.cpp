#include "app/GhostRecorder.h"

#include <gtest/gtest.h>

#include "app/StepClock.h"
#include "support/GhostPoses.h"

namespace {


}  // namespace

TEST(GhostRecorder, RecordsEverySecondStepUntilTheClockStops) {
    GhostRecorder recorder;
    // Steps before any run started are not recorded.
    recorder.afterStep(false, 1, 5.0, poseAt(-1.0f));
    EXPECT_FALSE(recorder.usable());

    double clock = 0.0;
    for (int step = 1; step <= 7; ++step) {
        clock += StepClock::STEP;
        recorder.afterStep(step == 1, 2, clock, poseAt(float(step)));
    }
    // Past the finish the clock stands still and nothing more is taken.
    for (int k = 0; k < 5; ++k) recorder.afterStep(false, 2, clock, poseAt(99.0f));
    ASSERT_TRUE(recorder.usable());
    EXPECT_EQ(recorder.run().level, 2);
    ASSERT_EQ(recorder.run().samples.size(), 4u);
    for (size_t k = 0; k < 4; ++k) EXPECT_EQ(recorder.run().samples[k].position.z, float(2 * k + 1));

    // A restart begins a new run.
    recorder.afterStep(true, 2, StepClock::STEP, poseAt(50.0f));
    ASSERT_EQ(recorder.run().samples.size(), 1u);
    EXPECT_EQ(recorder.run().samples[0].position.z, 50.0f);
}
