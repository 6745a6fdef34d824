// A level map to terrain tiles, from PNG bytes or from raw pixels: refused or
// taken, markers within the map and the caps, the goal at its last pixel,
// every index of the height grid in bounds, and every triangle in exactly one
// tile.
//
// Input that starts with the PNG signature is a PNG file. Anything else is
// raw pixels: width and height as two little-endian 16-bit numbers, then RGB
// bytes, repeated as often as the map needs (none: a black map). The raw form
// skips the decoder, so the search spends its time on the map itself.
#include <algorithm>
#include <cstdint>
#include <vector>

#include <lodepng.h>

#include "FuzzCheck.h"
#include "world/LevelMap.h"
#include "world/LevelMarkers.h"
#include "world/TerrainGrid.h"
#include "world/TerrainTiles.h"

namespace {

// Mutated chunks would almost all fail their checksum and end there; with
// the checksums put right, the search reaches the decoder and the map.
void fixChunkChecksums(std::vector<uint8_t>& png) {
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const size_t length = size_t(png[at]) << 24 | size_t(png[at + 1]) << 16 | size_t(png[at + 2]) << 8 | png[at + 3];
        if (length > png.size() - at - 12) break;
        lodepng_chunk_generate_crc(png.data() + at);
        at += 12 + length;
    }
}

bool isPng(const uint8_t* data, size_t size) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::equal(signature, signature + 8, data);
}

// Loads the raw form; checks that exactly the maps within the limits load.
bool loadRaw(const uint8_t* data, size_t size, LevelMap& map) {
    // A header cut short reads as zeros: a map of no size, refused.
    auto byte = [&](size_t k) { return k < size ? unsigned(data[k]) : 0u; };
    const unsigned width = byte(0) | byte(1) << 8;
    const unsigned height = byte(2) | byte(3) << 8;
    const bool fits = LevelMap::withinLimit(width, height) && width >= LevelMap::minimumSize &&
                      height >= LevelMap::minimumSize;
    std::vector<uint8_t> rgb;
    if (fits) {
        rgb.resize(size_t(width) * height * 3, 0);
        // The pattern, then the filled part doubled until the map is full.
        size_t filled = std::min(size > 4 ? size - 4 : 0, rgb.size());
        std::copy(data + 4, data + 4 + filled, rgb.begin());
        while (filled > 0 && filled < rgb.size()) {
            const size_t more = std::min(filled, rgb.size() - filled);
            std::copy(rgb.begin(), rgb.begin() + more, rgb.begin() + filled);
            filled += more;
        }
    }
    const bool loaded = map.assign(width, height, std::move(rgb));
    FUZZ_CHECK(loaded == fits);
    return loaded;
}

bool loadPng(const uint8_t* data, size_t size, LevelMap& map) {
    std::vector<uint8_t> png(data, data + size);
    fixChunkChecksums(png);
    unsigned width = 0, height = 0;
    lodepng::State header;
    const bool headerRead = lodepng_inspect(&width, &height, &header, png.data(), png.size()) == 0;
    const bool loaded = map.decode(png, "fuzz.png");
    if (headerRead && !LevelMap::withinLimit(width, height)) FUZZ_CHECK(!loaded);
    return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LevelMap map;
    const bool loaded = isPng(data, size) ? loadPng(data, size, map) : loadRaw(data, size, map);
    if (!loaded) {
        FUZZ_CHECK(map.empty() && !map.error().empty());
        return 0;
    }
    FUZZ_CHECK(LevelMap::withinLimit(map.width(), map.height()));
    FUZZ_CHECK(map.rgb().size() == size_t(map.width()) * map.height() * 3);

    LevelMarkers markers;
    markers.scan(map, 2048.0f, 256.0f, 2048.0f);
    for (const LevelMarkers::Event& event : markers.events())
        FUZZ_CHECK(event.row < map.height() && event.column < map.width());
    for (LevelMarkers::Kind kind : {LevelMarkers::Kind::Lamp, LevelMarkers::Kind::Snow, LevelMarkers::Kind::Goal,
                                    LevelMarkers::Kind::Fog, LevelMarkers::Kind::Night})
        FUZZ_CHECK(markers.count(kind) <= LevelMarkers::cap(kind));
    // Every goal pixel counts, and the last one scanned places the goal.
    unsigned goals = 0;
    glm::vec3 lastGoal = LevelMarkers::defaultGoal;
    for (unsigned i = 0; i < map.height(); ++i) {
        for (unsigned j = 0; j < map.width(); ++j) {
            if (map.vertexPixel(i, j).b <= LevelMarkers::bright) continue;
            ++goals;
            lastGoal = map.vertexPosition(i, j, 2048.0f, 256.0f, 2048.0f);
        }
    }
    FUZZ_CHECK(markers.count(LevelMarkers::Kind::Goal) == goals);
    FUZZ_CHECK(markers.goalFound() == (goals > 0));
    FUZZ_CHECK(markers.goalPosition() == lastGoal);

    TerrainGrid grid;
    grid.build(map, 2048.0f, 256.0f, 2048.0f);
    FUZZ_CHECK(grid.columns == map.width() && grid.rows == map.height());
    FUZZ_CHECK(grid.positions.size() == 3 * size_t(grid.vertexCount()));
    FUZZ_CHECK(grid.indices.size() == 6 * size_t(grid.columns - 1) * (grid.rows - 1));
    for (uint32_t index : grid.indices) FUZZ_CHECK(index < grid.vertexCount());

    std::vector<uint8_t> seen(grid.triangleCount(), 0);
    for (const std::vector<uint32_t>& tile : terrainTiles(grid.columns, grid.rows, 32)) {
        for (uint32_t triangle : tile) {
            FUZZ_CHECK(triangle < grid.triangleCount());
            FUZZ_CHECK(seen[triangle] == 0);
            seen[triangle] = 1;
        }
    }
    for (uint8_t placed : seen) FUZZ_CHECK(placed == 1);
    return 0;
}
