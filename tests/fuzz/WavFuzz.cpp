// WAV files: a usable result is internally consistent (whole frames, a real
// rate and channel count); an unusable one says why and holds no samples.
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "app/WavSound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const WavSound sound = parseWav(std::vector<unsigned char>(data, data + size));
    if (!sound.error.empty()) return 0;
    FUZZ_CHECK(sound.channels == 1 || sound.channels == 2);
    FUZZ_CHECK(sound.sampleRate > 0);
    FUZZ_CHECK(sound.samples.size() % size_t(sound.channels) == 0);
    // Each sample came from at least one byte of the input.
    FUZZ_CHECK(sound.samples.size() <= size);
    return 0;
}
