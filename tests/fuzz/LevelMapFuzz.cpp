// A level map from PNG bytes to terrain tiles: refused or decoded, markers
// within the map and the caps, every index of the height grid in bounds, and
// every triangle in exactly one tile.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> png(data, data + size);
    fixChunkChecksums(png);
    unsigned width = 0, height = 0;
    lodepng::State header;
    const bool headerRead = lodepng_inspect(&width, &height, &header, png.data(), png.size()) == 0;
    // Maps within the limit but this large build correctly; they only slow
    // the search down.
    if (headerRead && uint64_t(width) * height > 256 * 256 && width <= LevelMap::maximumSize &&
        height <= LevelMap::maximumSize)
        return 0;

    LevelMap map;
    const bool loaded = map.decode(png, "fuzz.png");
    if (headerRead && (width > LevelMap::maximumSize || height > LevelMap::maximumSize)) FUZZ_CHECK(!loaded);
    if (!loaded) {
        FUZZ_CHECK(map.empty() && !map.error().empty());
        return 0;
    }
    FUZZ_CHECK(map.rgb().size() == size_t(map.width()) * map.height() * 3);

    LevelMarkers markers;
    markers.scan(map, 2048.0f, 256.0f, 2048.0f);
    for (const LevelMarkers::Event& event : markers.events())
        FUZZ_CHECK(event.row < map.height() && event.column < map.width());
    for (LevelMarkers::Kind kind : {LevelMarkers::Kind::Lamp, LevelMarkers::Kind::Snow, LevelMarkers::Kind::Goal,
                                    LevelMarkers::Kind::Fog, LevelMarkers::Kind::Night})
        FUZZ_CHECK(markers.count(kind) <= LevelMarkers::cap(kind));

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
