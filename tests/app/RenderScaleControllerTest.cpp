#include "app/RenderScaleController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

namespace {

using Controller = RenderScaleController;

// A machine whose frame takes `fixed` seconds plus `perPixel` seconds for the
// whole window, scaled by the share of pixels drawn.
struct Load {
    double fixed = 0.006;
    double perPixel = 0.040;
    double at(float scale) const { return fixed + perPixel * double(scale) * double(scale); }
};

// Runs `seconds` of frames under `load`; returns the scales seen.
std::multiset<float> fly(Controller& controller, const Load& load, double seconds) {
    std::multiset<float> seen;
    for (double t = 0.0; t < seconds;) {
        const double frame = load.at(controller.scale());
        controller.frame(frame);
        seen.insert(controller.scale());
        t += frame;
    }
    return seen;
}

TEST(RenderScaleController, SettlesOnASteadyLoadAtTheHighestScaleInTime) {
    Controller controller;
    const Load load;  // 46 ms at the full window
    fly(controller, load, 20.0);
    const float settled = controller.scale();
    EXPECT_LT(settled, 1.0f);
    EXPECT_LE(load.at(settled), Controller::TARGET_SECONDS);
    // One step higher would be late: no lower than needed.
    EXPECT_GT(load.at(settled + Controller::STEP), Controller::TARGET_SECONDS);
    // And there it stays.
    const std::multiset<float> later = fly(controller, load, 30.0);
    EXPECT_EQ(later.count(settled), later.size());
}

TEST(RenderScaleController, LowersUnderASlowLoadAndRisesWhenItGoes) {
    Controller controller;
    Load slow;
    slow.perPixel = 0.080;  // a bigger window
    fly(controller, slow, 20.0);
    const float low = controller.scale();
    EXPECT_LE(slow.at(low), Controller::TARGET_SECONDS);
    EXPECT_GE(low, Controller::MIN_SCALE);
    EXPECT_LT(low, 0.7f);

    Load light;
    light.perPixel = 0.010;
    fly(controller, light, 20.0);
    EXPECT_EQ(controller.scale(), 1.0f);

    // However slow, never below the bound.
    Load hopeless;
    hopeless.fixed = 0.050;
    fly(controller, hopeless, 20.0);
    EXPECT_EQ(controller.scale(), Controller::MIN_SCALE);
}

TEST(RenderScaleController, NeverLeavesTheFullWindowWhenTheTargetIsMet) {
    Controller controller;
    // Just in time, with a late frame in every three and stalls between.
    for (int frame = 0; frame < 3000; ++frame) {
        double seconds = frame % 3 == 0 ? 0.045 : 0.032;
        if (frame % 400 == 0) seconds = 2.0;
        controller.frame(seconds);
        ASSERT_EQ(controller.scale(), 1.0f) << "frame " << frame;
    }
    // Frames held to every second refresh of a 60 Hz display, a little
    // jitter either way.
    for (int frame = 0; frame < 3000; ++frame) {
        controller.frame(1.0 / 30.0 + (frame % 2 ? 0.0003 : -0.0002));
        ASSERT_EQ(controller.scale(), 1.0f) << "frame " << frame;
    }
}

TEST(RenderScaleController, IgnoresAStallAndWhatALevelChangeInterrupts) {
    Controller controller;
    Load load;
    load.perPixel = 0.020;  // in time at any scale
    fly(controller, load, 2.0);
    controller.frame(3.0);
    fly(controller, load, 2.0);
    EXPECT_EQ(controller.scale(), 1.0f);

    // Late frames not yet judged, then a level build: the new level starts
    // afresh, and in time.
    controller.reset();
    for (int frame = 0; frame < 11; ++frame) controller.frame(0.040);
    controller.interrupt();
    for (int frame = 0; frame < 10; ++frame) controller.frame(0.030);
    EXPECT_EQ(controller.scale(), 1.0f);
    // Without the interruption the same frames are late by their median.
    controller.reset();
    for (int frame = 0; frame < 11; ++frame) controller.frame(0.040);
    for (int frame = 0; frame < 10; ++frame) controller.frame(0.030);
    EXPECT_LT(controller.scale(), 1.0f);

    // A stall does not count, but such frames one after another are the pace.
    controller.reset();
    for (int frame = 0; frame < 20; ++frame) controller.frame(0.3);
    EXPECT_LT(controller.scale(), 1.0f);
}

}  // namespace
