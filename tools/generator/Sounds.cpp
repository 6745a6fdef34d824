#include "Sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "Image.h"
#include "Noise.h"

namespace sounds {
namespace {

// Low enough to keep all the files together well under a megabyte; the
// sounds have little above 8 kHz anyway.
constexpr int rate = 22050;
constexpr double pi = 3.14159265358979323846;

using Samples = std::vector<double>;

int samplesFor(double seconds)
{
    return int(std::lround(seconds * rate));
}

Samples whiteNoise(int count, uint64_t seed)
{
    Rng rng(seed);
    Samples out(count);
    for (double& s : out)
        s = rng.uniform() * 2.0 - 1.0;
    return out;
}

// Chamberlin state-variable filter: band-pass (or low-pass) around `centre`
// Hz, `damping` 2 for a broad band, towards 0 for a whistle.
Samples bandPass(const Samples& in, double centre, double damping, bool lowPass = false)
{
    const double f = 2.0 * std::sin(pi * centre / rate);
    double low = 0.0, band = 0.0;
    Samples out(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        low += f * band;
        const double high = in[i] - low - damping * band;
        band += f * high;
        out[i] = lowPass ? low : band;
    }
    return out;
}

Samples highPass(const Samples& in, double cutoff)
{
    const double a = std::exp(-2.0 * pi * cutoff / rate);
    double previousIn = 0.0, state = 0.0;
    Samples out(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        state = a * (state + in[i] - previousIn);
        previousIn = in[i];
        out[i] = state;
    }
    return out;
}

// Folds the `fade` samples after the loop's end into its start with an
// equal-power crossfade, so that the last sample runs on into the first.
Samples loopWithCrossfade(const Samples& in, int length, int fade)
{
    Samples out(in.begin(), in.begin() + length);
    for (int i = 0; i < fade; ++i) {
        const double t = double(i) / fade;
        out[i] = in[i] * std::sqrt(t) + in[length + i] * std::sqrt(1.0 - t);
    }
    return out;
}

void normalise(Samples& samples, double peak)
{
    double largest = 0.0;
    for (double s : samples)
        largest = std::max(largest, std::fabs(s));
    if (largest == 0.0)
        return;
    for (double& s : samples)
        s *= peak / largest;
}

void putLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(uint8_t(value >> (8 * i)));
}

bool writeWav(const std::string& path, const Samples& samples)
{
    const uint32_t dataSize = uint32_t(samples.size() * 2);
    std::vector<uint8_t> bytes;
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    putLittleEndian(bytes, 36 + dataSize, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLittleEndian(bytes, 16, 4);
    putLittleEndian(bytes, 1, 2); // PCM
    putLittleEndian(bytes, 1, 2); // mono
    putLittleEndian(bytes, rate, 4);
    putLittleEndian(bytes, rate * 2, 4);
    putLittleEndian(bytes, 2, 2);
    putLittleEndian(bytes, 16, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    putLittleEndian(bytes, dataSize, 4);
    for (double s : samples) {
        const long value = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        putLittleEndian(bytes, uint32_t(int32_t(value)), 2);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::printf("cannot write %s\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::printf("cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// Rushing air: a broad low roar with a faint whistle on top, swelling in two
// slow gusts. The game sets its pitch and gain from the speed.
Samples wind()
{
    const int length = samplesFor(2.0), fade = samplesFor(0.25);
    const Samples noise = whiteNoise(length + fade, 101);
    const Samples roar = bandPass(noise, 350.0, 1.6);
    const Samples whistle = bandPass(noise, 900.0, 0.25);
    Samples air(noise.size());
    for (size_t i = 0; i < air.size(); ++i)
        air[i] = roar[i] + 0.08 * whistle[i];
    Samples out = loopWithCrossfade(air, length, fade);
    for (int i = 0; i < length; ++i) {
        // Whole cycles over the loop, so the gusts repeat seamlessly too.
        const double t = double(i) / length;
        out[i] *= 0.8 + 0.12 * std::sin(2.0 * pi * t) + 0.08 * std::sin(2.0 * pi * 3.0 * t + 1.0);
    }
    normalise(out, 0.7);
    return out;
}

// Two wing beats: each a swell of air whose colour rises with the stroke.
// Silent at both ends, so it loops while Space is held.
Samples whoosh()
{
    const int length = samplesFor(0.6);
    const Samples noise = whiteNoise(length, 202);
    Samples out(length);
    double low = 0.0, band = 0.0;
    for (int i = 0; i < length; ++i) {
        const double beat = std::fmod(2.0 * i / length, 1.0);
        // The filter's centre sweeps 400 to 1400 Hz through each beat.
        const double centre = 400.0 + 1000.0 * beat;
        const double fc = 2.0 * std::sin(pi * centre / rate);
        low += fc * band;
        band += fc * (noise[i] - low - 1.2 * band);
        const double envelope = std::pow(std::sin(pi * beat), 2.0);
        out[i] = band * envelope;
    }
    normalise(out, 0.8);
    return out;
}

// `length` samples of wave(i, t) at time t = i / rate, in order of i,
// normalised to `peak`.
template <typename Wave>
Samples synthesised(int length, double peak, Wave wave)
{
    Samples out(length);
    for (int i = 0; i < length; ++i)
        out[i] = wave(i, double(i) / rate);
    normalise(out, peak);
    return out;
}

// A dry crack with a woody ring, then a smaller splinter.
Samples snap()
{
    const int length = samplesFor(0.35);
    const Samples noise = highPass(whiteNoise(length, 303), 1500.0);
    const double ring[3] = {820.0, 1730.0, 2610.0};
    return synthesised(length, 0.95, [&](int i, double t) {
        double s = noise[i] * std::exp(-t / 0.006);
        const double splinter = t - 0.035;
        if (splinter > 0.0)
            s += 0.5 * noise[i] * std::exp(-splinter / 0.004);
        for (int k = 0; k < 3; ++k)
            s += 0.35 / (k + 1) * std::sin(2.0 * pi * ring[k] * t) * std::exp(-t / (0.03 / (k + 1)));
        return s;
    });
}

// The body hitting turf: a falling low boom under a short burst of earth.
Samples thud()
{
    const int length = samplesFor(0.6);
    const Samples dirt = bandPass(whiteNoise(length, 404), 250.0, 1.4, true);
    double phase = 0.0;
    return synthesised(length, 0.95, [&](int i, double t) {
        const double frequency = 45.0 + 55.0 * std::exp(-t / 0.08);
        phase += 2.0 * pi * frequency / rate;
        const double attack = std::min(1.0, t / 0.002);
        return attack * (std::sin(phase) * std::exp(-t / 0.15) + 3.0 * dirt[i] * std::exp(-t / 0.04));
    });
}

// Three bell strokes rising through a major triad.
Samples chime()
{
    const int length = samplesFor(1.6);
    Samples out(length, 0.0);
    const double notes[3] = {1046.5, 1318.5, 1568.0};
    // A struck bar's partials are not harmonic.
    const double partials[3] = {1.0, 2.76, 5.40};
    const double weights[3] = {1.0, 0.35, 0.12};
    for (int n = 0; n < 3; ++n) {
        const int start = samplesFor(0.13 * n);
        for (int i = start; i < length; ++i) {
            const double t = double(i - start) / rate;
            const double attack = std::min(1.0, t / 0.003);
            for (int p = 0; p < 3; ++p)
                out[i] += attack * weights[p] * std::sin(2.0 * pi * notes[n] * partials[p] * t)
                          * std::exp(-t * (2.2 + 3.0 * p));
        }
    }
    normalise(out, 0.8);
    return out;
}

// A short wooden click.
Samples tick()
{
    return synthesised(samplesFor(0.06), 0.8, [](int, double t) {
        return std::sin(2.0 * pi * 1900.0 * t) * std::exp(-t / 0.008)
               + 0.5 * std::sin(2.0 * pi * 3100.0 * t) * std::exp(-t / 0.004);
    });
}

// Mains buzz of a lamp: whole cycles of 100 Hz and its overtones in one
// second, so the loop is seamless without a crossfade; 101 Hz beats slowly
// against the fundamental.
Samples hum()
{
    return synthesised(samplesFor(1.0), 0.7, [](int, double t) {
        return std::sin(2.0 * pi * 100.0 * t) + 0.5 * std::sin(2.0 * pi * 101.0 * t + 0.7)
               + 0.45 * std::sin(2.0 * pi * 200.0 * t + 0.3) + 0.25 * std::sin(2.0 * pi * 300.0 * t + 1.1)
               + 0.12 * std::sin(2.0 * pi * 500.0 * t + 2.0);
    });
}

// Fine, even hiss of blowing snow.
Samples hiss()
{
    const int length = samplesFor(2.0), fade = samplesFor(0.25);
    const Samples noise = highPass(whiteNoise(length + fade, 505), 3000.0);
    Samples out = loopWithCrossfade(noise, length, fade);
    normalise(out, 0.6);
    return out;
}

} // namespace

bool writeAll(const std::string& dataDir)
{
    const auto wav = [](Samples (*make)()) {
        return [make](const std::string& path) { return writeWav(path, make()); };
    };
    return writeFilesInto(dataDir + "/Sounds",
                          {{"wind.wav", wav(wind)}, {"whoosh.wav", wav(whoosh)}, {"snap.wav", wav(snap)},
                           {"thud.wav", wav(thud)}, {"chime.wav", wav(chime)}, {"tick.wav", wav(tick)},
                           {"hum.wav", wav(hum)}, {"hiss.wav", wav(hiss)}});
}

} // namespace sounds
