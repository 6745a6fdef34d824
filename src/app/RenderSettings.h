#pragma once

// The render choices the player can change while the game runs.
class RenderSettings {
public:
    int textureSampling = 3;  // 1 nearest neighbour, 3 bilinear
    int mipMapping = 2;       // 0 off, 1 nearest mip level, 2 linear between levels
    bool transparency = true;
    bool frustumCulling = true;
    // The terrain's whole grid everywhere, instead of detail that falls with
    // distance (F7).
    bool fullTerrainDetail = false;

    // The single record, made with the defaults on first use.
    static RenderSettings& instance();

private:
    RenderSettings() = default;
};
