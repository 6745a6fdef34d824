#include "app/StepClock.h"

#include <gtest/gtest.h>

#include "core/GameState.h"
#include "player/RaceStep.h"
#include "support/ProcessState.h"

namespace {

constexpr double STEP = StepClock::STEP;

TEST(StepClock, StepsFollowTheFrameTimeAndCarryTheRemainder) {
    StepClock clock;
    // Sixty frames of exactly one step never lose or gain one to rounding.
    int steps = 0;
    for (int frame = 0; frame < 60; ++frame) steps += clock.advance(STEP);
    EXPECT_EQ(steps, 60);

    clock.reset();
    EXPECT_EQ(clock.advance(STEP / 2), 0);  // a fast frame runs no step...
    EXPECT_NEAR(clock.remainder(), STEP / 2, 1e-12);
    EXPECT_EQ(clock.advance(STEP / 2), 1);  // ...and the next one catches up
    EXPECT_EQ(clock.advance(0.1), 6);       // 10 fps
    EXPECT_NEAR(clock.remainder(), 0.0, 1e-9);
    EXPECT_EQ(clock.advance(2.5 * STEP), 2);
    EXPECT_NEAR(clock.remainder(), STEP / 2, 1e-12);
    EXPECT_EQ(clock.advance(-1.0), 0);  // a clock running backwards adds nothing
    EXPECT_NEAR(clock.remainder(), STEP / 2, 1e-12);
}

TEST(StepClock, AStallRunsAtMostFifteenStepsAndDropsTheRest) {
    StepClock clock;
    EXPECT_EQ(clock.advance(0.25), 15);
    EXPECT_EQ(clock.advance(2.0), StepClock::MAX_STEPS);
    EXPECT_EQ(clock.remainder(), 0.0);
    EXPECT_EQ(clock.advance(STEP), 1);  // nothing of the stall is left over
}

TEST(StepClock, AStallOfTwoSecondsCostsTheRaceClockAQuarterSecond) {
    ProcessState state;
    gameState.raceTime = 10.0;
    StepClock clock;
    EXPECT_EQ(clock.run(2.0, raceStep), 15);
    EXPECT_NEAR(gameState.raceTime, 10.25, 1e-9);
}

}  // namespace
