#include "Noise.h"

#include <algorithm>
#include <cmath>

uint64_t Rng::next()
{
    // splitmix64
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform()
{
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

uint32_t hash3(int32_t x, int32_t y, uint32_t seed)
{
    uint32_t h = seed * 0x27d4eb2du ^ uint32_t(x) * 0x85ebca6bu ^ uint32_t(y) * 0xc2b2ae35u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

double hashUnit(int32_t x, int32_t y, uint32_t seed)
{
    return double(hash3(x, y, seed) >> 8) / 16777216.0;
}

namespace {

int wrap(int v, int period)
{
    if (period <= 0)
        return v;
    const int m = v % period;
    return m < 0 ? m + period : m;
}

double fade(double t)
{
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

} // namespace

double valueNoise(double x, double y, uint32_t seed, int period)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int x0 = int(fx);
    const int y0 = int(fy);
    const double tx = fade(x - fx);
    const double ty = fade(y - fy);
    const double a = hashUnit(wrap(x0, period), wrap(y0, period), seed);
    const double b = hashUnit(wrap(x0 + 1, period), wrap(y0, period), seed);
    const double c = hashUnit(wrap(x0, period), wrap(y0 + 1, period), seed);
    const double d = hashUnit(wrap(x0 + 1, period), wrap(y0 + 1, period), seed);
    return mix(mix(a, b, tx), mix(c, d, tx), ty);
}

double fbm(double x, double y, uint32_t seed, int octaves, int period)
{
    double sum = 0.0;
    double amplitude = 1.0;
    double total = 0.0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(x, y, seed + uint32_t(o) * 1013u, period);
        total += amplitude;
        amplitude *= 0.5;
        x *= 2.0;
        y *= 2.0;
        period *= 2;
    }
    return sum / total;
}

double ridged(double x, double y, uint32_t seed, int octaves)
{
    double sum = 0.0;
    double amplitude = 1.0;
    double total = 0.0;
    for (int o = 0; o < octaves; ++o) {
        const double n = 1.0 - std::abs(2.0 * valueNoise(x, y, seed + uint32_t(o) * 7919u) - 1.0);
        sum += amplitude * n * n;
        total += amplitude;
        amplitude *= 0.5;
        x *= 2.0;
        y *= 2.0;
    }
    return sum / total;
}

double smoothstep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}
