#include "app/WavSound.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/SafeFile.h"

namespace {

// The game's sounds are a few hundred kilobytes; anything this big is not one.
constexpr std::uint64_t MAX_FILE_BYTES = 64u << 20;

uint32_t read32(const std::vector<unsigned char>& b, std::size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

unsigned read16(const std::vector<unsigned char>& b, std::size_t at) { return unsigned(b[at]) | unsigned(b[at + 1]) << 8; }

bool tagIs(const std::vector<unsigned char>& b, std::size_t at, const char* tag) {
    return std::memcmp(&b[at], tag, 4) == 0;
}

std::string printed(const char* format, unsigned long long a, unsigned long long b = 0, unsigned long long c = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

WavSound failure(const std::string& why) {
    WavSound sound;
    sound.error = why;
    return sound;
}

// The tail of the extensible format's sub-format GUID shared by all the
// standard formats; its first two bytes are the plain format code.
const unsigned char GUID_TAIL[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                     0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace

WavSound parseWav(const std::vector<unsigned char>& bytes) {
    const std::size_t size = bytes.size();
    if (size < 12) return failure(printed("too short for a RIFF header (%llu bytes)", size));
    if (!tagIs(bytes, 0, "RIFF") || !tagIs(bytes, 8, "WAVE")) return failure("not a RIFF WAVE file");
    // 64 bits: a lying size near 4 GB must not wrap around.
    const uint64_t end = 8ull + read32(bytes, 4);
    if (end > size) return failure(printed("truncated: the header promises %llu bytes, the file has %llu", end, size));

    std::size_t fmt = 0, fmtSize = 0, data = 0, dataSize = 0;
    bool fmtFound = false, dataFound = false;
    uint64_t at = 12;
    while (at + 8 <= end) {
        const uint64_t chunkSize = read32(bytes, at + 4);
        const uint64_t body = at + 8;
        if (body + chunkSize > end) {
            return failure(printed("truncated: a chunk claims %llu bytes where %llu are left", chunkSize, end - body));
        }
        if (tagIs(bytes, at, "fmt ") && !fmtFound) {
            fmtFound = true;
            fmt = body;
            fmtSize = chunkSize;
        } else if (tagIs(bytes, at, "data") && !dataFound) {
            dataFound = true;
            data = body;
            dataSize = chunkSize;
        }
        // Chunks are padded to an even length.
        at = body + chunkSize + (chunkSize & 1);
    }
    if (!fmtFound) return failure("no format chunk");
    if (!dataFound) return failure("no data chunk");
    if (fmtSize < 16) return failure(printed("the format chunk has %llu bytes, fewer than 16", fmtSize));

    unsigned format = read16(bytes, fmt);
    const unsigned channels = read16(bytes, fmt + 2);
    const uint32_t rate = read32(bytes, fmt + 4);
    const uint32_t byteRate = read32(bytes, fmt + 8);
    const unsigned blockAlign = read16(bytes, fmt + 12);
    const unsigned bits = read16(bytes, fmt + 14);
    if (format == 0xFFFE) {
        if (fmtSize < 40) return failure(printed("the extensible format chunk has %llu bytes, fewer than 40", fmtSize));
        if (std::memcmp(&bytes[fmt + 26], GUID_TAIL, sizeof GUID_TAIL) != 0) {
            return failure("the extensible format names an unknown sub-format");
        }
        format = read16(bytes, fmt + 24);
    }
    if (format != 1) return failure(printed("not integer PCM (format code %llu)", format));
    if (channels < 1 || channels > 2) return failure(printed("%llu channels; 1 or 2 are supported", channels));
    if (bits != 8 && bits != 16) return failure(printed("%llu bits per sample; 8 or 16 are supported", bits));
    if (rate < 1000 || rate > 384000) return failure(printed("an implausible sample rate of %llu Hz", rate));
    const unsigned frameBytes = channels * bits / 8;
    if (blockAlign != frameBytes) {
        return failure(printed("the block size %llu does not match %llu channels of %llu bits", blockAlign, channels,
                               bits));
    }
    if (byteRate != uint64_t(rate) * frameBytes) {
        return failure(printed("the byte rate %llu does not match %llu Hz times %llu bytes", byteRate, rate,
                               frameBytes));
    }
    if (dataSize == 0) return failure("no samples");
    if (dataSize % frameBytes != 0) {
        return failure(printed("the data size %llu is not a whole number of %llu-byte frames", dataSize, frameBytes));
    }

    WavSound sound;
    sound.sampleRate = int(rate);
    sound.channels = int(channels);
    const std::size_t count = dataSize / (bits / 8);
    sound.samples.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        sound.samples[i] = bits == 16 ? int16_t(read16(bytes, data + 2 * i))
                                      : int16_t((int(bytes[data + i]) - 128) * 256);
    }
    return sound;
}

WavSound readWav(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::uint64_t size = 0;
    switch (readRegularFile(path, bytes, MAX_FILE_BYTES, &size)) {
        case FileRead::Done: return parseWav(bytes);
        case FileRead::CannotOpen: return failure(std::string("cannot be opened: ") + std::strerror(errno));
        case FileRead::NotRegular: return failure("cannot be opened: not a regular file");
        case FileRead::TooLarge: return failure(printed("is %llu bytes, too large for a sound", size));
        case FileRead::CannotRead: break;
    }
    return failure("cannot be read");
}
