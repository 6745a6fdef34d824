#include "app/WindSetting.h"

#include <algorithm>

WindSetting windSetting(const FlightSound& flight) {
    WindSetting wind;
    if (!flight.flying) return wind;
    // Speeds run from about 25 at the start to 100 and more in a dive; the
    // boost adds up to 100 at the floor.
    const float speed = std::max(flight.speed, 0.0f);
    const float boost = std::max(flight.boost, 0.0f);
    wind.gain = std::min(0.12f + 0.6f * std::min(speed, 120.0f) / 100.0f + 0.25f * std::min(boost, 100.0f) / 100.0f,
                         1.0f);
    wind.pitch = std::clamp(0.6f + 0.5f * (speed + boost) / 100.0f, 0.5f, 1.8f);
    return wind;
}
