#pragma once

#include <cstdint>

// Deterministic pseudo-random numbers and lattice noise, so that every run of
// the generator writes the same bytes (no std distributions: their output is
// not fixed across standard libraries).
class Rng
{
public:
    explicit Rng(uint64_t seed) : state(seed) {}
    uint64_t next();
    double uniform();                       // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    uint64_t state;
};

uint32_t hash3(int32_t x, int32_t y, uint32_t seed);
double hashUnit(int32_t x, int32_t y, uint32_t seed); // [0, 1)

// Smooth value noise in [0, 1]; `period` > 0 makes it tile with that many cells.
double valueNoise(double x, double y, uint32_t seed, int period = 0);
// Fractal sum of octaves, normalised to [0, 1]; the period doubles per octave.
double fbm(double x, double y, uint32_t seed, int octaves, int period = 0);
// Sharp-crested ridges in [0, 1].
double ridged(double x, double y, uint32_t seed, int octaves);

double smoothstep(double edge0, double edge1, double x);
double mix(double a, double b, double t);
