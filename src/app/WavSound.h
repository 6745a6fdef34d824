#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The samples of one WAV file, or why it cannot be used.
struct WavSound {
    int sampleRate = 0;
    int channels = 0;
    // 16-bit samples with the channels interleaved; 8-bit files are widened.
    std::vector<int16_t> samples;
    // Empty when the file was usable.
    std::string error;
};

// Reads a RIFF WAVE image held in memory: integer PCM of 8 or 16 bits, one or
// two channels, in the plain or the extensible format. Never reads outside
// `bytes`: a file that is cut short, or whose sizes and format fields
// disagree, gives an error that says what is wrong.
WavSound parseWav(const std::vector<unsigned char>& bytes);

// The file at `path`; an unreadable file, or one that is not a regular file,
// gives an error as well.
WavSound readWav(const std::string& path);
