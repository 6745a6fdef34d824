#pragma once

#include <string>

// The game's sounds, synthesised: wind, wing flaps, the wing snap, the crash
// thud, the finish chime, the countdown tick, the lamp hum and the snow hiss,
// as 16-bit mono WAV files in Sounds/. Loops are seamless.
namespace sounds {

bool writeAll(const std::string& dataDir);

} // namespace sounds
