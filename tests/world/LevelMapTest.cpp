#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include <lodepng.h>

#include "world/LevelMap.h"

namespace {

std::string tempPath(const char* name)
{
    return std::string(MOORGLIDE_BINARY_DIR) + "/" + name;
}

} // namespace

TEST(LevelMap, MirrorsColumnsAndPlacesVertices)
{
    // 3 x 2 image: row 0 = (10, 20, 30) red values, row 1 = (40, 50, 255).
    std::vector<uint8_t> rgb = {10, 1, 2, 20, 3, 4, 30, 5, 6, 40, 0, 0, 50, 0, 0, 255, 0, 0};
    LevelMap map;
    ASSERT_TRUE(map.assign(3, 2, rgb));
    EXPECT_EQ(map.width(), 3u);
    EXPECT_EQ(map.height(), 2u);
    EXPECT_EQ(map.imagePixel(0, 0).r, 10);
    EXPECT_EQ(map.vertexPixel(0, 0).r, 30); // column w-1-j
    EXPECT_EQ(map.vertexPixel(0, 0).g, 5);
    EXPECT_EQ(map.vertexPixel(0, 2).r, 10);
    EXPECT_EQ(map.vertexPixel(1, 0).r, 255);

    const glm::vec3 first = map.vertexPosition(0, 0, 2048.0f, 256.0f, 2048.0f);
    EXPECT_FLOAT_EQ(first.x, -1024.0f);
    EXPECT_FLOAT_EQ(first.y, 30.0f * 256.0f / 255.0f);
    EXPECT_FLOAT_EQ(first.z, 1024.0f);
    const glm::vec3 high = map.vertexPosition(1, 0, 2048.0f, 256.0f, 2048.0f);
    EXPECT_FLOAT_EQ(high.y, 256.0f);
    EXPECT_FLOAT_EQ(high.z, 0.0f); // -Z/2 + Z/h
    const glm::vec3 last = map.vertexPosition(1, 2, 2048.0f, 256.0f, 2048.0f);
    EXPECT_FLOAT_EQ(last.x, 2048.0f / 2.0f - 2048.0f / 3.0f);
}

// The route planner finds its way by columnX/rowZ and columnAt/rowAt: they
// must name the places where the terrain's vertices stand.
TEST(LevelMap, GridPlacesMatchVertexPositionsOnAShippedMap)
{
    const int n = LEVEL_MAP_SIZE;
    const float extent = float(LEVEL_TERRAIN_EXTENT);
    LevelMap map;
    ASSERT_TRUE(map.assign(n, n, std::vector<uint8_t>(size_t(n) * n * 3, 0)));
    for (int k = 0; k < n; ++k) {
        const glm::vec3 vertex = map.vertexPosition(unsigned(k), unsigned(k), extent, LEVEL_HEIGHT_SCALE, extent);
        EXPECT_FLOAT_EQ(LevelMap::columnX(k, n, extent), vertex.x);
        EXPECT_FLOAT_EQ(LevelMap::rowZ(k, n, extent), vertex.z);
        EXPECT_EQ(LevelMap::columnAt(vertex.x, n, extent), k);
        EXPECT_EQ(LevelMap::rowAt(vertex.z, n, extent), k);
    }
    EXPECT_EQ(LevelMap::columnAt(-1e6f, n, extent), 0);
    EXPECT_EQ(LevelMap::columnAt(1e6f, n, extent), n - 1);
    EXPECT_EQ(LevelMap::rowAt(1e6f, n, extent), 0);
    EXPECT_EQ(LevelMap::rowAt(-1e6f, n, extent), n - 1);
}

TEST(LevelMap, RejectsTooSmallOrInconsistentImages)
{
    LevelMap map;
    EXPECT_FALSE(map.assign(1, 5, std::vector<uint8_t>(15)));
    EXPECT_TRUE(map.empty());
    EXPECT_NE(map.error().find("1 x 5"), std::string::npos);
    EXPECT_FALSE(map.assign(2, 2, std::vector<uint8_t>(11)));
    EXPECT_TRUE(map.empty());
    EXPECT_TRUE(map.assign(2, 2, std::vector<uint8_t>(12)));
    EXPECT_TRUE(map.error().empty());
}

TEST(LevelMap, LoadReportsMissingAndBrokenFiles)
{
    LevelMap map;
    const std::string missing = tempPath("no-such-map.png");
    EXPECT_FALSE(map.load(missing));
    EXPECT_NE(map.error().find(missing), std::string::npos);
    EXPECT_TRUE(map.empty());

    const std::string broken = tempPath("broken-map.png");
    {
        std::ofstream out(broken, std::ios::binary);
        out << "not a png at all";
    }
    EXPECT_FALSE(map.load(broken));
    EXPECT_NE(map.error().find("decoded"), std::string::npos);
    std::remove(broken.c_str());
}

TEST(LevelMap, LoadDecodesRgbaAndGreyFilesToRgb)
{
    // An RGBA file with alpha must come out as 3 bytes a pixel, alpha dropped.
    const std::string path = tempPath("rgba-map.png");
    std::vector<unsigned char> rgba = {1, 2, 3, 0, 4, 5, 6, 255, 7, 8, 9, 128, 10, 11, 12, 255};
    ASSERT_EQ(lodepng::encode(path, rgba, 2, 2, LCT_RGBA, 8), 0u);
    LevelMap map;
    ASSERT_TRUE(map.load(path)) << map.error();
    ASSERT_EQ(map.rgb().size(), 12u);
    EXPECT_EQ(map.imagePixel(1, 1).b, 12);
    EXPECT_EQ(map.vertexPixel(0, 0).r, 4);

    std::vector<unsigned char> grey = {0, 100, 200, 255};
    ASSERT_EQ(lodepng::encode(path, grey, 2, 2, LCT_GREY, 8), 0u);
    ASSERT_TRUE(map.load(path)) << map.error();
    EXPECT_EQ(map.imagePixel(0, 1).r, 100);
    EXPECT_EQ(map.imagePixel(0, 1).g, 100);
    std::remove(path.c_str());

    // A failed load after a good one leaves nothing of the old map behind.
    EXPECT_FALSE(map.load(tempPath("still-no-such-map.png")));
    EXPECT_TRUE(map.empty());
}

TEST(LevelMap, MapsAreLimitedByTheirPixelCountFromTheHeader)
{
    // A 4600 x 4600 image takes 70 KB as a PNG and gigabytes decoded. Only
    // headers are written here: a decode would fail on the missing data, so
    // the size message shows that nothing was decoded.
    auto header = [](uint32_t width, uint32_t height) {
        std::vector<unsigned char> png;
        std::vector<unsigned char> pixel = {0, 0, 0};
        EXPECT_EQ(lodepng::encode(png, pixel, 1, 1, LCT_RGB, 8), 0u);
        for (int k = 0; k < 4; ++k) {
            png[16 + k] = (unsigned char)(width >> (24 - 8 * k)); // IHDR width, big-endian
            png[20 + k] = (unsigned char)(height >> (24 - 8 * k));
        }
        lodepng_chunk_generate_crc(png.data() + 8);
        png.resize(33); // signature and IHDR only
        return png;
    };

    LevelMap map;
    EXPECT_FALSE(map.decode(header(4600, 4600), "Maps/map1.png"));
    EXPECT_EQ(map.error(), "Maps/map1.png: map is 4600 x 4600 pixels, at most 4194304 pixels in all (2048 x 2048)");
    EXPECT_TRUE(map.empty());
    EXPECT_FALSE(map.decode(header(4097, 1024), "wide"));
    EXPECT_NE(map.error().find("map is 4097 x 1024 pixels"), std::string::npos) << map.error();
    // Within the pixel count, whatever the shape, the header passes.
    for (uint32_t width : {248u, 2048u, 4096u}) {
        EXPECT_FALSE(map.decode(header(width, 4194304 / width), "fits"));
        EXPECT_NE(map.error().find("cannot be decoded"), std::string::npos) << map.error();
    }
    EXPECT_FALSE(map.assign(2049, 2048, {}));
    EXPECT_NE(map.error().find("at most 4194304 pixels"), std::string::npos) << map.error();

    // A long, narrow map is a map like any other.
    std::vector<unsigned char> rgb(4096 * 2 * 3, 0);
    rgb[3 * 4095] = 255;
    std::vector<unsigned char> png;
    ASSERT_EQ(lodepng::encode(png, rgb, 4096, 2, LCT_RGB, 8), 0u);
    ASSERT_TRUE(map.decode(png, "Maps/map2.png")) << map.error();
    EXPECT_EQ(map.width(), 4096u);
    EXPECT_EQ(map.vertexPixel(0, 0).r, 255);
}
