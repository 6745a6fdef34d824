#pragma once

#include "core/Audio.h"

// How the wind loop plays in one frame.
struct WindSetting {
    float gain = 0.0f;   // 0 to 1
    float pitch = 1.0f;  // playback rate, 1 = as recorded
};

// Louder and higher the faster the air goes by, swelling further with the
// low-flight boost; silent once the figure has stopped.
WindSetting windSetting(const FlightSound& flight);
