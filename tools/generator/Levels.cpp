#include "Levels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "Font.h"
#include "Noise.h"
#include "world/LevelMarkers.h"
#include "world/LevelNames.h"

namespace levels {
namespace {

// Image rows run from 0 (far end, the goal) to 511 (the start); image columns
// from 0 to 511, where column c lies at terrain x = 1020 - 4c (the game
// mirrors the map, see LevelMap::columnX), so the course centre column 255.5
// is x = 0.
constexpr double startRow = 507.0;
constexpr double startColumn = (mapSize - 1) / 2.0;

// Red values: walls stay above this (height 246+), the course below 190.
constexpr double wallBase = 243.0;
constexpr double floorCap = 185.0;

struct Key
{
    double row;
    double column;    // course centre
    double halfWidth; // flat floor half-width, pixels
    double floor;     // floor height (red)
};

// A tall rock that cannot be overflown; offset is from the course centre.
struct Rock
{
    double row, offset, radiusColumns, radiusRows;
};

// A low bump of the floor that is flown over (height in red units).
struct Hill
{
    double row, offset, radiusColumns, radiusRows, height;
};

struct Design
{
    const char* name;
    uint32_t seed;
    std::vector<Key> keys; // from the start (row 511) to the far end (row 0)
    double bank;           // pixels over which the side rises to the wall
    double floorNoise;     // amplitude of the rolling floor, red units
    bool jagged;           // sharp peaks rather than rounded hills
    std::vector<Rock> rocks;
    std::vector<Hill> hills;
    int lampSpacing;       // rows between lamps, 0 for none
    bool lampPairs;        // a lamp on both banks, else alternating sides
    int snowEmitters;
    bool fog;
    bool night;
    bool lightMap;
};

std::vector<Design> designs()
{
    std::vector<Design> d(levelCount);
    // 1: a broad green valley with a lazy S-bend, day. Ships its light map.
    d[0] = {LEVEL_NAMES[0], 101,
            {{511, 256, 95, 8}, {430, 256, 95, 8}, {340, 285, 90, 20}, {250, 295, 85, 30},
             {160, 262, 85, 25}, {80, 235, 90, 15}, {0, 240, 90, 10}},
            60, 22, false, {}, {{300, 30, 35, 30, 110}, {130, -40, 30, 25, 90}},
            0, false, 0, false, false, true};
    // 2: lamps line a valley crossed by two low ridges with passes, day.
    d[1] = {LEVEL_NAMES[1], 202,
            {{511, 256, 80, 8}, {430, 256, 78, 8}, {350, 225, 72, 25}, {270, 215, 70, 35},
             {180, 255, 70, 30}, {100, 285, 72, 20}, {0, 280, 75, 12}},
            45, 18, false, {},
            {{300, 0, 140, 16, 125}, {150, 0, 140, 16, 140}, {300, 35, 24, 20, -90}, {150, -30, 24, 20, -100}},
            30, true, 0, false, false, false};
    // 3: high alpine valley under snow, jagged peaks, day.
    d[2] = {LEVEL_NAMES[2], 303,
            {{511, 256, 75, 8}, {440, 256, 72, 10}, {360, 290, 66, 60}, {270, 275, 62, 85},
             {180, 235, 62, 90}, {100, 245, 66, 70}, {0, 270, 70, 40}},
            35, 30, true, {}, {{230, 0, 110, 10, 60}}, 0, false, 5, false, false, false};
    // 4: a wide basin of rock stacks in the fog.
    d[3] = {LEVEL_NAMES[3], 404,
            {{511, 256, 90, 8}, {430, 256, 100, 8}, {330, 240, 110, 15}, {230, 270, 110, 15},
             {130, 250, 105, 12}, {0, 250, 95, 10}},
            50, 18, false,
            {{380, 45, 16, 16}, {310, -50, 18, 18}, {240, 30, 17, 17}, {170, -40, 16, 16}, {95, 45, 15, 15}},
            {}, 0, false, 0, true, false, false};
    // 5: a meandering valley at night, lamps alternate between the banks.
    d[4] = {LEVEL_NAMES[4], 505,
            {{511, 256, 70, 8}, {430, 250, 66, 10}, {350, 215, 60, 20}, {270, 235, 58, 25},
             {190, 270, 58, 25}, {110, 262, 60, 20}, {0, 240, 64, 12}},
            40, 20, false, {}, {{220, 0, 20, 20, 120}}, 24, false, 0, false, true, false};
    // 6: a narrow winding canyon with sheer walls, day.
    d[5] = {LEVEL_NAMES[5], 606,
            {{511, 256, 60, 8}, {450, 256, 45, 8}, {380, 235, 32, 10}, {300, 270, 30, 12},
             {220, 245, 30, 12}, {140, 215, 31, 12}, {60, 250, 34, 10}, {0, 260, 40, 8}},
            12, 6, true, {}, {}, 0, false, 0, false, false, false};
    // 7: at night in snow, the valley forks around a long ridge of rock.
    d[6] = {LEVEL_NAMES[6], 707,
            {{511, 256, 75, 8}, {440, 256, 72, 10}, {360, 250, 110, 30}, {280, 260, 120, 40},
             {200, 265, 115, 35}, {120, 240, 70, 25}, {0, 250, 66, 12}},
            32, 20, true, {{280, 0, 32, 70}}, {}, 0, false, 4, false, true, false};
    // 8: fog over an S-bending valley, lamps on both banks show the way.
    d[7] = {LEVEL_NAMES[7], 808,
            {{511, 256, 65, 8}, {440, 256, 58, 8}, {370, 225, 50, 18}, {290, 210, 48, 22},
             {210, 250, 48, 22}, {130, 285, 50, 18}, {0, 280, 56, 10}},
            30, 16, false, {{250, 0, 12, 12}}, {}, 32, true, 0, true, false, false};
    // 9: night and fog in a narrow canyon with rock pillars.
    d[8] = {LEVEL_NAMES[8], 909,
            {{511, 256, 60, 8}, {445, 256, 45, 8}, {370, 280, 40, 12}, {290, 245, 40, 14},
             {210, 220, 40, 14}, {130, 250, 40, 12}, {0, 275, 44, 8}},
            16, 8, true, {{330, 14, 10, 10}, {215, -14, 10, 10}, {120, 14, 10, 10}}, {},
            0, false, 0, true, true, false};
    // 10: everything at once: night, fog, snow and lamps in a forking canyon.
    d[9] = {LEVEL_NAMES[9], 1010,
            {{511, 256, 60, 8}, {445, 250, 44, 10}, {375, 225, 38, 14}, {300, 240, 80, 20},
             {230, 270, 80, 20}, {160, 270, 38, 14}, {90, 240, 36, 12}, {0, 250, 44, 8}},
            14, 10, true, {{265, 0, 24, 52}, {120, 16, 9, 9}}, {{390, 0, 60, 10, 90}},
            26, false, 4, true, true, false};
    return d;
}

// Per-row course: centre column, floor half-width and floor height.
struct Course
{
    std::vector<double> centre, halfWidth, floor;
    std::vector<double> slope; // sideways drift of the centre, columns per row
};

std::vector<double> blurred(const std::vector<double>& values, double sigma)
{
    const int radius = int(std::ceil(3.0 * sigma));
    std::vector<double> out(values.size());
    for (int i = 0; i < int(values.size()); ++i) {
        double sum = 0.0, weight = 0.0;
        for (int k = -radius; k <= radius; ++k) {
            const int at = std::clamp(i + k, 0, int(values.size()) - 1);
            const double w = std::exp(-0.5 * k * k / (sigma * sigma));
            sum += w * values[size_t(at)];
            weight += w;
        }
        out[size_t(i)] = sum / weight;
    }
    return out;
}

double catmullRom(double p0, double p1, double p2, double p3, double t)
{
    const double t2 = t * t;
    const double t3 = t2 * t;
    return 0.5 * (2.0 * p1 + (-p0 + p2) * t + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * t2
                  + (-p0 + 3.0 * p1 - 3.0 * p2 + p3) * t3);
}

Course courseOf(const Design& design)
{
    Course course;
    const std::vector<Key>& k = design.keys;
    const int n = int(k.size());
    for (int row = 0; row < mapSize; ++row) {
        int s = 0;
        while (s + 2 < n && k[s + 1].row > row)
            ++s;
        const double t = (k[s].row - row) / (k[s].row - k[s + 1].row);
        const Key& p0 = k[std::max(0, s - 1)];
        const Key& p3 = k[std::min(n - 1, s + 2)];
        course.centre.push_back(catmullRom(p0.column, k[s].column, k[s + 1].column, p3.column, t));
        const double e = smoothstep(0.0, 1.0, t);
        course.halfWidth.push_back(mix(k[s].halfWidth, k[s + 1].halfWidth, e));
        course.floor.push_back(mix(k[s].floor, k[s + 1].floor, e));
    }
    // Soften the joins between key segments so the banks bend without kinks.
    for (std::vector<double>* series : {&course.centre, &course.halfWidth, &course.floor})
        *series = blurred(*series, 14.0);
    for (int row = 0; row < mapSize; ++row) {
        const int a = std::max(0, row - 1), b = std::min(mapSize - 1, row + 1);
        course.slope.push_back((course.centre[size_t(b)] - course.centre[size_t(a)]) / double(b - a));
    }
    return course;
}

// Distance of a pixel from the course centre line, measured across the
// course: the sideways offset shortened by the local drift. Unlike the true
// nearest distance this has no cusps on the inside of bends.
double acrossCourse(const Course& course, int row, int column)
{
    const double slope = course.slope[size_t(row)];
    return std::abs(column - course.centre[size_t(row)]) / std::sqrt(1.0 + slope * slope);
}

std::vector<double> heightField(const Design& design, const Course& course)
{
    std::vector<double> height(size_t(mapSize) * mapSize);
    const uint32_t seed = design.seed;
    for (int row = 0; row < mapSize; ++row) {
        // The start area stays low and calm so that the first dive clears it.
        const double calm = 1.0 - smoothstep(430.0, 480.0, row);
        for (int column = 0; column < mapSize; ++column) {
            const double d = acrossCourse(course, row, column);
            const int nearest = row;
            const double half = course.halfWidth[size_t(nearest)];
            const double centre = course.centre[size_t(row)];

            double floorH = course.floor[size_t(nearest)];
            floorH += calm * design.floorNoise * (2.0 * fbm(column / 38.0, row / 38.0, seed, 4) - 1.0);
            for (const Hill& hill : design.hills) {
                const double dc = (column - (centre + hill.offset)) / hill.radiusColumns;
                const double dr = (row - hill.row) / hill.radiusRows;
                floorH += calm * hill.height * std::exp(-(dc * dc + dr * dr));
            }
            floorH = std::clamp(floorH, 2.0, floorCap);

            const double rough = design.jagged ? ridged(column / 34.0, row / 34.0, seed + 5, 5)
                                               : fbm(column / 55.0, row / 55.0, seed + 5, 5);
            const double beyond = d - half - design.bank;
            const double wallH = std::min(255.0, wallBase + 12.0 * (0.25 + 0.75 * rough) + 6.0 * smoothstep(0.0, 90.0, beyond));
            const double side = smoothstep(-0.25 * design.bank, design.bank, d - half);
            double h = mix(floorH, wallH, side);
            // Gullies on the valley sides.
            h += side * (1.0 - side) * 50.0 * (fbm(column / 9.0, row / 9.0, seed + 9, 3) - 0.5);

            for (const Rock& rock : design.rocks) {
                const double dc = (column - (course.centre[size_t(std::clamp(int(rock.row), 0, mapSize - 1))] + rock.offset))
                                  / rock.radiusColumns;
                const double dr = (row - rock.row) / rock.radiusRows;
                const double e = std::sqrt(dc * dc + dr * dr);
                if (e < 1.0) {
                    const double top = 246.0 + 9.0 * fbm(column / 6.0, row / 6.0, seed + 13, 3);
                    h = std::max(h, mix(h, top, 1.0 - smoothstep(0.55, 1.0, e)));
                }
            }
            height[size_t(row) * mapSize + column] = std::clamp(h, 0.0, 255.0);
        }
    }
    return height;
}

void putMarker(Image& map, int row, int column, int green, int blue)
{
    uint8_t* p = map.at(column, row);
    if (green >= 0)
        p[1] = uint8_t(green);
    if (blue >= 0)
        p[2] = uint8_t(blue);
}

Image lightMapOf(const std::vector<double>& height)
{
    // Lit from the far end of the course (the day sun shines down the track),
    // a little from the left, with soft cast shadows and darker hollows.
    const double lx = 0.35, ly = 0.55, lz = 0.76;
    const double horizontal = std::sqrt(lx * lx + lz * lz);
    auto heightAt = [&](double r, double c) {
        const int ri = std::clamp(int(std::lround(r)), 0, mapSize - 1);
        const int ci = std::clamp(int(std::lround(c)), 0, mapSize - 1);
        return height[size_t(ri) * mapSize + ci] * double(LEVEL_HEIGHT_SCALE) / 255.0;
    };
    std::vector<double> light(size_t(mapSize) * mapSize);
    for (int r = 0; r < mapSize; ++r) {
        for (int c = 0; c < mapSize; ++c) {
            // x = 1020 - 4c and z = 1024 - 4r: both fall as the index grows.
            const double dhdx = -(heightAt(r, c + 1) - heightAt(r, c - 1)) / (2.0 * pixelSpacing);
            const double dhdz = -(heightAt(r + 1, c) - heightAt(r - 1, c)) / (2.0 * pixelSpacing);
            const double nl = std::sqrt(dhdx * dhdx + 1.0 + dhdz * dhdz);
            const double diffuse = std::max(0.0, (-dhdx * lx + ly - dhdz * lz) / nl);
            double lit = 1.0;
            const double h0 = heightAt(r, c) + 1.0;
            for (double s = 6.0; s < 700.0; s += 6.0) {
                const double rr = r - (lz / horizontal) * s / pixelSpacing;
                const double cc = c - (lx / horizontal) * s / pixelSpacing;
                if (rr < 0 || cc < 0 || rr >= mapSize || cc >= mapSize)
                    break;
                const double ray = h0 + s * ly / horizontal;
                if (ray > 260.0)
                    break;
                lit = std::min(lit, std::clamp((ray - heightAt(rr, cc)) / (6.0 + 0.08 * s), 0.0, 1.0));
            }
            double around = 0.0;
            for (int k = -6; k <= 6; k += 3)
                around += heightAt(r + k, c) + heightAt(r, c + k);
            const double hollow = std::clamp(1.0 - (around / 10.0 - h0) / 90.0, 0.72, 1.0);
            light[size_t(r) * mapSize + c] = (0.45 + 0.55 * diffuse * lit) * hollow;
        }
    }
    Image image(mapSize, mapSize, 3);
    for (int r = 0; r < mapSize; ++r) {
        for (int c = 0; c < mapSize; ++c) {
            double sum = 0.0;
            int count = 0;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    const int rr = std::clamp(r + dr, 0, mapSize - 1);
                    const int cc = std::clamp(c + dc, 0, mapSize - 1);
                    sum += light[size_t(rr) * mapSize + cc];
                    ++count;
                }
            const double b = sum / count;
            image.set(c, r, toByte(b), toByte(b * 0.98), toByte(b * 0.94));
        }
    }
    return image;
}

} // namespace

Summary build(int number, Image& map, Image& lightMap)
{
    const Design design = designs()[size_t(number - 1)];
    const Course course = courseOf(design);
    const std::vector<double> height = heightField(design, course);

    map = Image(mapSize, mapSize, 3);
    for (int r = 0; r < mapSize; ++r)
        for (int c = 0; c < mapSize; ++c)
            map.set(c, r, uint8_t(std::lround(height[size_t(r) * mapSize + c])), 0, 0);

    Summary summary;
    summary.number = number;
    summary.name = design.name;
    summary.narrowest = 1e9;
    for (int r = 0; r < mapSize; ++r) {
        summary.narrowest = std::min(summary.narrowest, course.halfWidth[size_t(r)]);
        if (r > 0)
            summary.steepest = std::max(summary.steepest, std::abs(course.centre[size_t(r)] - course.centre[size_t(r - 1)]));
    }

    // Lamps stand on the floor near the foot of the banks.
    if (design.lampSpacing > 0) {
        int side = 1;
        for (int r = int(startRow) - 40; r > goalRow; r -= design.lampSpacing) {
            const double inset = course.halfWidth[size_t(r)] - 5.0;
            for (int s = -1; s <= 1; s += 2) {
                if (!design.lampPairs && s != side)
                    continue;
                const int c = int(std::lround(course.centre[size_t(r)] + s * inset));
                putMarker(map, r, c, LevelMarkers::lampGreen, -1);
                ++summary.lamps;
            }
            side = -side;
        }
    }
    // Snow emitters above the course, spread from the start to the goal.
    for (int k = 0; k < design.snowEmitters; ++k) {
        const int r = int(std::lround(mix(startRow - 60.0, goalRow + 40.0, double(k) / std::max(1, design.snowEmitters - 1))));
        // Beside the centre line where a rock splits the course.
        const int middle = int(std::lround(course.centre[size_t(r)]));
        int c = middle;
        for (int step = 1; step < int(course.halfWidth[size_t(r)]) && map.at(c, r)[0] > 150; ++step)
            c = middle + (step + 1) / 2 * (step % 2 ? 2 : -2);
        putMarker(map, r, c, -1, LevelMarkers::snowBlue);
        ++summary.snow;
    }
    // Fog and night: one pixel each, in the wall behind the start.
    if (design.fog) {
        putMarker(map, mapSize - 1, 2, -1, LevelMarkers::fogBlue);
        summary.fog = true;
    }
    if (design.night) {
        putMarker(map, mapSize - 1, 4, -1, LevelMarkers::nightBlue);
        summary.night = true;
    }
    putMarker(map, goalRow, int(std::lround(course.centre[goalRow])), -1, LevelMarkers::goalBlue);

    lightMap = design.lightMap ? lightMapOf(height) : Image();
    summary.lightMap = design.lightMap;
    return summary;
}

namespace {

void shade(const Image& map, const Image& lightMap, Image& out)
{
    out = Image(mapSize, mapSize, 3);
    for (int r = 0; r < mapSize; ++r) {
        for (int c = 0; c < mapSize; ++c) {
            const double h = map.at(c, r)[0];
            const double hl = map.at(std::max(0, c - 1), r)[0];
            const double hu = map.at(c, std::max(0, r - 1))[0];
            const double light = std::clamp(0.8 + (hl - h) * 0.012 + (hu - h) * 0.02, 0.45, 1.2);
            double cr, cg, cb;
            if (h < 120) {
                const double t = h / 120.0;
                cr = mix(70, 140, t); cg = mix(135, 125, t); cb = mix(60, 80, t);
            } else if (h < 235) {
                const double t = (h - 120) / 115.0;
                cr = mix(140, 150, t); cg = mix(125, 145, t); cb = mix(80, 150, t);
            } else {
                cr = 235; cg = 238; cb = 245;
            }
            if (!lightMap.px.empty())
                cr *= lightMap.at(c, r)[0] / 230.0, cg *= lightMap.at(c, r)[0] / 230.0, cb *= lightMap.at(c, r)[0] / 230.0;
            out.set(c, r, toByte(cr * light / 255.0), toByte(cg * light / 255.0), toByte(cb * light / 255.0));
        }
    }
}

void disc(Image& image, double x, double y, double radius, float r, float g, float b)
{
    for (int py = int(y - radius - 1); py <= int(y + radius + 1); ++py)
        for (int px = int(x - radius - 1); px <= int(x + radius + 1); ++px) {
            const double d = std::hypot(px + 0.5 - x, py + 0.5 - y);
            image.blend(px, py, r, g, b, float(std::clamp(radius + 0.5 - d, 0.0, 1.0)));
        }
}

} // namespace

bool writeAll(const std::string& dataDir, const std::string& previewDir)
{
    if (!makeDirectories(dataDir + "/Maps"))
        return false;
    const int tile = 256;
    const int gap = 10;
    const int label = 22;
    Image sheet(5 * tile + 6 * gap, 2 * (tile + label) + 3 * gap, 3);
    sheet.fillRect(0, 0, sheet.w, sheet.h, 30, 30, 34);

    std::printf("level  name              lamps snow fog night lightmap narrowest drift\n");
    for (int n = 1; n <= levelCount; ++n) {
        Image map, lightMap;
        const Summary s = build(n, map, lightMap);
        const std::string base = dataDir + "/Maps/map" + std::to_string(n);
        if (!writePng(base + ".png", map))
            return false;
        if (s.lightMap && !writePng(base + "Lightmap.png", lightMap))
            return false;
        std::printf("%5d  %-16s  %5d %4d %3s %5s %8s %6.0f px %5.2f\n", n, s.name.c_str(), s.lamps, s.snow,
                    s.fog ? "yes" : "-", s.night ? "yes" : "-", s.lightMap ? "yes" : "-", 2.0 * s.narrowest, s.steepest);
        if (previewDir.empty())
            continue;

        Image shaded;
        shade(map, lightMap, shaded);
        Image small(tile, tile, 3);
        for (int y = 0; y < tile; ++y)
            for (int x = 0; x < tile; ++x)
                for (int k = 0; k < 3; ++k)
                    small.at(x, y)[k] = uint8_t((shaded.at(2 * x, 2 * y)[k] + shaded.at(2 * x + 1, 2 * y)[k]
                                                 + shaded.at(2 * x, 2 * y + 1)[k] + shaded.at(2 * x + 1, 2 * y + 1)[k] + 2) / 4);
        if (s.night)
            for (uint8_t& v : small.px)
                v = uint8_t(v * 0.55);
        if (s.fog)
            for (size_t i = 0; i < small.px.size(); ++i)
                small.px[i] = uint8_t(small.px[i] * 0.7 + 160 * 0.3);
        for (int r = 0; r < mapSize; ++r)
            for (int c = 0; c < mapSize; ++c) {
                const uint8_t* p = map.at(c, r);
                if (LevelMarkers::isLamp(p[1]))
                    disc(small, c / 2.0, r / 2.0, 2.2, 255, 215, 0);
                LevelMarkers::Kind blue;
                if (LevelMarkers::blueMarker(p[2], blue) && blue == LevelMarkers::Kind::Snow)
                    disc(small, c / 2.0, r / 2.0, 4.0, 120, 230, 255);
                if (LevelMarkers::blueMarker(p[2], blue) && blue == LevelMarkers::Kind::Goal)
                    disc(small, c / 2.0, r / 2.0, 4.5, 230, 30, 30);
            }
        disc(small, startColumn / 2.0, startRow / 2.0, 4.0, 255, 0, 255);
        const int tx = gap + ((n - 1) % 5) * (tile + gap);
        const int ty = gap + ((n - 1) / 5) * (tile + label + gap);
        sheet.paste(small, tx, ty + label);
        std::string caption = std::to_string(n) + " " + s.name;
        if (s.night) caption += " *night";
        if (s.fog) caption += " *fog";
        drawLabel(sheet, tx, ty + 16, caption, 14);
    }
    if (!previewDir.empty()) {
        if (!makeDirectories(previewDir) || !writePng(previewDir + "/maps.png", sheet))
            return false;
        std::printf("wrote %s/maps.png\n", previewDir.c_str());
    }
    return true;
}

} // namespace levels
