#include "Icons.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/vec3.hpp>

#include "Image.h"
#include "Meshes.h"
#include "Noise.h"

namespace icons {
namespace {

using glm::vec3;

// Drawn this many times larger, then averaged down: smooth edges at 48 pixels.
constexpr int oversample = 4;
constexpr float margin = 0.04f;
constexpr float cornerRadius = 0.17f;

// Whether a point (0..1 across the icon) lies on the rounded tile.
bool onTile(float u, float v)
{
    const float inner = 0.5f - margin - cornerRadius;
    const float dx = std::max(0.0f, std::abs(u - 0.5f) - inner);
    const float dy = std::max(0.0f, std::abs(v - 0.5f) - inner);
    return dx * dx + dy * dy <= cornerRadius * cornerRadius;
}

// Height (0 top .. 1 bottom) of one range of moorland hills at u.
float ridge(float u, float base, float swell, uint32_t seed)
{
    return base - swell * float(fbm(u * 3.0, 0.5, seed, 3)) - 0.02f * std::sin(6.0f * u + float(seed));
}

// Sky, three ranges of moor, heather speckles and the figure's shadow.
vec3 landscape(float u, float v)
{
    const float horizon = 0.60f;
    const vec3 skyTop(0.24f, 0.42f, 0.72f), skyLow(0.92f, 0.84f, 0.70f);
    vec3 colour = glm::mix(skyTop, skyLow, std::pow(std::clamp(v / horizon, 0.0f, 1.0f), 1.6f));
    const float glow = std::max(0.0f, 1.0f - std::hypot(u - 0.22f, (v - 0.50f) * 1.6f) / 0.35f);
    colour = glm::mix(colour, vec3(1.0f, 0.95f, 0.80f), 0.6f * glow * glow);

    struct Range
    {
        float base, swell;
        uint32_t seed;
        vec3 near, far;
    };
    const Range ranges[] = {{0.66f, 0.10f, 301, vec3(0.50f, 0.50f, 0.62f), vec3(0.60f, 0.60f, 0.70f)},
                            {0.78f, 0.10f, 302, vec3(0.42f, 0.30f, 0.40f), vec3(0.55f, 0.42f, 0.50f)},
                            {0.90f, 0.08f, 303, vec3(0.30f, 0.40f, 0.18f), vec3(0.42f, 0.50f, 0.24f)}};
    for (const Range& range : ranges) {
        const float top = ridge(u, range.base, range.swell, range.seed);
        if (v < top)
            continue;
        // Lighter at the crest, darker down the slope.
        colour = glm::mix(range.far, range.near, std::clamp((v - top) / 0.12f, 0.0f, 1.0f));
        const double heather = fbm(u * 40.0, v * 40.0, range.seed + 10, 2);
        colour *= 0.88f + 0.24f * float(heather);
        if (&range == &ranges[2] && hashUnit(int(u * 90.0f), int(v * 90.0f), 304) > 0.82)
            colour = glm::mix(colour, vec3(0.58f, 0.30f, 0.52f), 0.7f);
    }
    // The figure's shadow on the near moor.
    const float shadow = std::hypot((u - 0.52f) / 0.22f, (v - 0.93f) / 0.035f);
    if (shadow < 1.0f)
        colour *= 0.6f + 0.4f * shadow * shadow;
    return colour;
}

Image icon(int size)
{
    const int big = size * oversample;
    Image picture(big, big, 3);
    for (int y = 0; y < big; ++y)
        for (int x = 0; x < big; ++x) {
            const vec3 c = landscape((x + 0.5f) / big, (y + 0.5f) / big);
            picture.set(x, y, toByte(c.x), toByte(c.y), toByte(c.z));
        }
    // Seen from behind and above, banked in a turn.
    meshes::drawFigure(picture, vec3(0.15f, -0.9f, -1.0f), vec3(-0.2f, 1.0f, 0.0f), 0.42f * big,
                       glm::vec2(0.50f * big, 0.42f * big));

    Image result(size, size, 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float sum[3] = {0.0f, 0.0f, 0.0f};
            int covered = 0;
            for (int sy = 0; sy < oversample; ++sy)
                for (int sx = 0; sx < oversample; ++sx) {
                    const int px = x * oversample + sx, py = y * oversample + sy;
                    if (!onTile((px + 0.5f) / big, (py + 0.5f) / big))
                        continue;
                    const uint8_t* c = picture.at(px, py);
                    for (int k = 0; k < 3; ++k)
                        sum[k] += c[k];
                    ++covered;
                }
            if (covered == 0)
                continue; // stays transparent black
            result.set(x, y, toByte(sum[0] / covered / 255.0f), toByte(sum[1] / covered / 255.0f),
                       toByte(sum[2] / covered / 255.0f), toByte(float(covered) / (oversample * oversample)));
        }
    return result;
}

} // namespace

bool writeAll(const std::string& dir)
{
    if (!makeDirectories(dir))
        return false;
    for (int size : {48, 128, 256}) {
        const std::string path = dir + "/" + std::to_string(size) + "x" + std::to_string(size) + ".png";
        if (!writePng(path, icon(size)))
            return false;
        std::printf("wrote %s\n", path.c_str());
    }
    return true;
}

} // namespace icons
