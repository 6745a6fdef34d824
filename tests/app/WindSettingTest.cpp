#include "app/WindSetting.h"

#include <gtest/gtest.h>

namespace {

FlightSound flyingAt(float speed, float boost = 0.0f) {
    FlightSound sound;
    sound.flying = true;
    sound.speed = speed;
    sound.boost = boost;
    return sound;
}

}  // namespace

TEST(WindSetting, GainAndPitchRiseWithSpeedAndSwellWithTheBoost) {
    WindSetting previous = windSetting(flyingAt(0.0f));
    EXPECT_GT(previous.gain, 0.0f);
    for (float speed = 10.0f; speed <= 120.0f; speed += 10.0f) {
        const WindSetting wind = windSetting(flyingAt(speed));
        EXPECT_GT(wind.gain, previous.gain) << speed;
        EXPECT_GT(wind.pitch, previous.pitch) << speed;
        EXPECT_LE(wind.gain, 1.0f);
        previous = wind;
    }
    // Diving at the floor: the fastest air of all, still within range.
    EXPECT_GT(windSetting(flyingAt(60.0f, 50.0f)).gain, windSetting(flyingAt(60.0f)).gain);
    EXPECT_LE(windSetting(flyingAt(500.0f, 100.0f)).gain, 1.0f);
    EXPECT_LE(windSetting(flyingAt(500.0f, 100.0f)).pitch, 1.8f);
}

TEST(WindSetting, AStoppedFigureHearsNoWind) {
    FlightSound stopped = flyingAt(80.0f, 40.0f);
    stopped.flying = false;
    EXPECT_EQ(windSetting(stopped).gain, 0.0f);
}
