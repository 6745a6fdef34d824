#include "Textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Image.h"
#include "Noise.h"

namespace textures {
namespace {

constexpr int tileSize = 256;
constexpr double pi = 3.14159265358979323846;

// Tileable: every noise lattice wraps at the texture edge.
double tiled(int x, int y, double cells, uint32_t seed, int octaves)
{
    return fbm(x * cells / tileSize, y * cells / tileSize, seed, octaves, int(cells));
}

// A tileSize square RGB tile; paint(image, x, y) sets each pixel.
template <typename Paint>
Image tile(Paint paint)
{
    Image image(tileSize, tileSize, 3);
    for (int y = 0; y < tileSize; ++y)
        for (int x = 0; x < tileSize; ++x)
            paint(image, x, y);
    return image;
}

Image snow()
{
    return tile([](Image& image, int x, int y) {
        const double drift = tiled(x, y, 4, 11, 5);
        const double grain = tiled(x, y, 64, 12, 2);
        double v = 0.80 + 0.14 * drift + 0.06 * (grain - 0.5);
        // A few glints of ice.
        if (hashUnit(x, y, 13) > 0.996)
            v = 1.0;
        const double blue = 0.05 * (1.0 - drift);
        image.set(x, y, toByte(v - blue), toByte(v - blue * 0.4), toByte(v + 0.03));
    });
}

Image grass()
{
    return tile([](Image& image, int x, int y) {
        const double patches = tiled(x, y, 4, 21, 4);
        const double tufts = tiled(x, y, 32, 22, 3);
        // Short blades: streaks stretched along one direction.
        const double blades = fbm(x * 64.0 / tileSize, y * 16.0 / tileSize, 23, 2, 16);
        double g = 0.42 + 0.18 * patches + 0.10 * (tufts - 0.5) + 0.12 * (blades - 0.5);
        const double dry = smoothstep(0.62, 0.8, patches);
        const double r = g * mix(0.48, 0.85, dry);
        const double b = g * mix(0.30, 0.38, dry);
        if (hashUnit(x, y, 24) > 0.997) // small flowers
            image.set(x, y, 235, 225, 120);
        else
            image.set(x, y, toByte(r), toByte(g), toByte(b));
    });
}

// A six-armed flake, bright on black (the sprite has no alpha channel).
Image snowflake()
{
    const int size = 64;
    Image image(size, size, 3);
    const double c = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double v = 0.0;
            const double dx = x - c, dy = y - c;
            const double r = std::hypot(dx, dy);
            for (int arm = 0; arm < 6; ++arm) {
                const double a = arm * pi / 3.0;
                const double along = dx * std::cos(a) + dy * std::sin(a);
                const double across = std::abs(-dx * std::sin(a) + dy * std::cos(a));
                if (along > 0 && along < 28)
                    v = std::max(v, 1.0 - smoothstep(1.0, 2.6, across));
                // Side branches at two thirds of each arm.
                for (double at : {12.0, 20.0}) {
                    for (int s = -1; s <= 1; s += 2) {
                        const double b = a + s * pi / 4.0;
                        const double bx = dx - at * std::cos(a), by = dy - at * std::sin(a);
                        const double bAlong = bx * std::cos(b) + by * std::sin(b);
                        const double bAcross = std::abs(-bx * std::sin(b) + by * std::cos(b));
                        if (bAlong > 0 && bAlong < 8.5 - at * 0.15)
                            v = std::max(v, 1.0 - smoothstep(0.8, 2.2, bAcross));
                    }
                }
            }
            v = std::max(v, 1.0 - smoothstep(3.0, 6.0, r));
            v *= 1.0 - smoothstep(26.0, 31.0, r);
            image.set(x, y, toByte(v * 0.95), toByte(v * 0.97), toByte(v));
        }
    return image;
}

} // namespace

bool writeAll(const std::string& dataDir)
{
    const std::string dir = dataDir + "/Textures";
    const auto png = [](Image (*make)()) {
        return [make](const std::string& path) { return writePng(path, make()); };
    };
    const bool ok =
        writeFilesInto(dir, {{"snow.png", png(snow)}, {"green02.png", png(grass)}, {"snowflake.png", png(snowflake)}});
    if (ok)
        std::printf("wrote %s: snow.png, green02.png, snowflake.png\n", dir.c_str());
    return ok;
}

} // namespace textures
