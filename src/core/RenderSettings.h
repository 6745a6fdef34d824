#pragma once

// The texture filters the F4 and F5 keys step through.
enum class TextureSampling : int { Nearest = 1, Bilinear = 3 };
enum class MipMapping : int { Off = 0, Nearest = 1, Linear = 2 };

// The console's names ("Nearest-Neighbor", ...); "" for a value that is none
// of the listed ones.
const char* samplingName(TextureSampling sampling);
const char* mipMappingName(MipMapping mipMapping);
// The key's next choice; from a value that is none of them, the default.
TextureSampling nextSampling(TextureSampling sampling);
MipMapping nextMipMapping(MipMapping mipMapping);

// The render choices the player can change while the game runs.
class RenderSettings {
public:
    TextureSampling textureSampling = TextureSampling::Bilinear;
    MipMapping mipMapping = MipMapping::Linear;  // Nearest: the nearest mip level
    bool transparency = true;
    bool frustumCulling = true;
    // The terrain's whole grid everywhere, instead of detail that falls with
    // distance (F10).
    bool fullTerrainDetail = false;
    // The scene is drawn at a share of the window that follows the frame
    // time; off, always at the full window (F10).
    bool autoRenderScale = true;

    // The single record, made with the defaults on first use.
    static RenderSettings& instance();

private:
    RenderSettings() = default;
};
