#include "app/WavSound.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "support/GlContext.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put(Bytes& b, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) b.push_back(static_cast<unsigned char>(value >> (8 * i)));
}
void putTag(Bytes& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

// A WAV image whose fields a test can bend one at a time.
struct WavImage {
    unsigned format = 1;
    unsigned channels = 1;
    uint32_t rate = 22050;
    unsigned bits = 16;
    uint32_t byteRate = 0;     // 0: the matching value
    unsigned blockAlign = 0;   // 0: the matching value
    Bytes payload = {0x01, 0x00, 0xFF, 0x7F, 0x00, 0x80, 0xFE, 0xFF};
    bool extensible = false;
    unsigned subFormat = 1;
    bool oddChunkFirst = false;  // a 3-byte chunk (padded) before "fmt "

    Bytes bytes() const {
        const unsigned align = blockAlign ? blockAlign : channels * bits / 8;
        Bytes body;
        putTag(body, "WAVE");
        if (oddChunkFirst) {
            putTag(body, "LIST");
            put(body, 3, 4);
            body.insert(body.end(), {'a', 'b', 'c', 0});
        }
        putTag(body, "fmt ");
        put(body, extensible ? 40 : 16, 4);
        put(body, extensible ? 0xFFFE : format, 2);
        put(body, channels, 2);
        put(body, rate, 4);
        put(body, byteRate ? byteRate : rate * align, 4);
        put(body, align, 2);
        put(body, bits, 2);
        if (extensible) {
            put(body, 22, 2);
            put(body, bits, 2);
            put(body, 0, 4);
            put(body, subFormat, 2);
            body.insert(body.end(), {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B,
                                     0x71});
        }
        putTag(body, "data");
        put(body, uint32_t(payload.size()), 4);
        body.insert(body.end(), payload.begin(), payload.end());
        Bytes file;
        putTag(file, "RIFF");
        put(file, uint32_t(body.size()), 4);
        file.insert(file.end(), body.begin(), body.end());
        return file;
    }
};

// The error, or "" when the image parsed.
std::string errorOf(const Bytes& bytes) { return parseWav(bytes).error; }

void patch32(Bytes& b, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

TEST(WavSound, ReadsPlainExtensibleAndEightBitPcm) {
    WavSound sound = parseWav(WavImage{}.bytes());
    ASSERT_EQ(sound.error, "");
    EXPECT_EQ(sound.sampleRate, 22050);
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.samples, (std::vector<int16_t>{1, 32767, -32768, -2}));

    WavImage extensible;
    extensible.extensible = true;
    extensible.oddChunkFirst = true;
    EXPECT_EQ(parseWav(extensible.bytes()).samples, sound.samples);

    WavImage stereo8;
    stereo8.channels = 2;
    stereo8.bits = 8;
    stereo8.payload = {0x80, 0xFF, 0x00, 0x81};
    sound = parseWav(stereo8.bytes());
    ASSERT_EQ(sound.error, "");
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.samples, (std::vector<int16_t>{0, 127 * 256, -128 * 256, 256}));
}

TEST(WavSound, EveryTruncationIsAnError) {
    const Bytes whole = WavImage{}.bytes();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_NE(errorOf(Bytes(whole.begin(), whole.begin() + length)), "") << length;
    }
    EXPECT_NE(errorOf(Bytes(whole.begin(), whole.end() - 1)).find("truncated"), std::string::npos);
}

TEST(WavSound, SizesAndFieldsThatLieAreErrors) {
    Bytes bytes = WavImage{}.bytes();
    patch32(bytes, 4, 0xFFFFFFFFu);  // RIFF size far beyond the file
    EXPECT_NE(errorOf(bytes).find("truncated"), std::string::npos);

    bytes = WavImage{}.bytes();
    patch32(bytes, bytes.size() - 12, 0xFFFFFFF8u);  // data chunk beyond the RIFF
    EXPECT_NE(errorOf(bytes), "");

    bytes = WavImage{}.bytes();
    patch32(bytes, 16, 12);  // a format chunk too short to hold the fields
    EXPECT_NE(errorOf(bytes), "");

    WavImage image;
    image.blockAlign = 4;
    EXPECT_NE(errorOf(image.bytes()).find("block"), std::string::npos);
    image = WavImage{};
    image.byteRate = 1000;
    EXPECT_NE(errorOf(image.bytes()).find("byte rate"), std::string::npos);
    image = WavImage{};
    image.payload = {1, 2, 3};
    EXPECT_NE(errorOf(image.bytes()).find("whole number"), std::string::npos);
    image.payload.clear();
    EXPECT_NE(errorOf(image.bytes()), "");

    bytes = WavImage{}.bytes();
    bytes[12] = 'x';  // no "fmt " chunk
    EXPECT_NE(errorOf(bytes), "");
    EXPECT_NE(errorOf(Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}), "");
}

TEST(WavSound, OnlyIntegerPcmIsAccepted) {
    WavImage floating;
    floating.format = 3;
    floating.bits = 32;
    EXPECT_NE(errorOf(floating.bytes()).find("not integer PCM"), std::string::npos);
    WavImage extensibleFloat;
    extensibleFloat.extensible = true;
    extensibleFloat.subFormat = 3;
    EXPECT_NE(errorOf(extensibleFloat.bytes()), "");
}

TEST(WavSound, OnlyARegularFileIsRead) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("fifo.wav").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(dir.file("folder.wav").c_str(), 0755), 0);
    // With no writer at the other end, opening the FIFO would wait for ever.
    ChildResult run = runInChild([&] {
        alarm(60);
        std::printf("%s\n%s\n", readWav(dir.file("fifo.wav")).error.c_str(),
                    readWav(dir.file("folder.wav")).error.c_str());
        _exit(0);
    });
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "cannot be opened: not a regular file\ncannot be opened: not a regular file\n");
    EXPECT_NE(readWav(dir.file("missing.wav")).error.find("cannot be opened"), std::string::npos);
}

TEST(WavSound, ShippedSoundsAreMonoAndTheirLoopsAreSeamless) {
    const std::string folder = std::string(MOORGLIDE_DATA_DIR) + "/Sounds/";
    for (const char* name : {"wind", "whoosh", "snap", "thud", "chime", "tick", "hum", "hiss"}) {
        const WavSound sound = readWav(folder + name + ".wav");
        ASSERT_EQ(sound.error, "") << name;
        EXPECT_EQ(sound.channels, 1) << name;
    }
    // Looping from the last sample back to the first jumps no further than
    // 99 in 100 steps between neighbours inside the loop.
    for (const char* name : {"wind", "whoosh", "hum", "hiss"}) {
        const std::vector<int16_t> s = readWav(folder + name + ".wav").samples;
        std::vector<int> steps;
        for (std::size_t i = 1; i < s.size(); ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
        std::sort(steps.begin(), steps.end());
        EXPECT_LE(std::abs(s.front() - s.back()), steps[steps.size() * 99 / 100]) << name;
    }
    EXPECT_NE(readWav(folder + "missing.wav").error.find("cannot be opened"), std::string::npos);
}
