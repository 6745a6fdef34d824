// Prints the loudness of a WAV file over time, for the e2e sound checks: one
// line per 50 ms window, "<start s> <rms> <peak>", levels 0 to 1, the
// channels mixed. Usage: wav_envelope <file.wav>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/WavSound.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file.wav>\n", argv[0]);
        return 2;
    }
    const WavSound sound = readWav(argv[1]);
    if (!sound.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], sound.error.c_str());
        return 1;
    }
    const std::size_t frames = sound.samples.size() / sound.channels;
    const std::size_t window = std::max<std::size_t>(1, sound.sampleRate / 20);
    for (std::size_t start = 0; start + window <= frames; start += window) {
        double sum = 0.0, peak = 0.0;
        for (std::size_t f = start; f < start + window; ++f) {
            double value = 0.0;
            for (int c = 0; c < sound.channels; ++c) value += sound.samples[f * sound.channels + c];
            value /= 32768.0 * sound.channels;
            sum += value * value;
            peak = std::max(peak, std::fabs(value));
        }
        std::printf("%.2f %.5f %.5f\n", double(start) / sound.sampleRate, std::sqrt(sum / window), peak);
    }
    return 0;
}
