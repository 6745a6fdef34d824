#include "core/RenderSettings.h"

RenderSettings& RenderSettings::instance() {
    static RenderSettings settings;
    return settings;
}

const char* samplingName(TextureSampling sampling) {
    switch (sampling) {
        case TextureSampling::Nearest: return "Nearest-Neighbor";
        case TextureSampling::Bilinear: return "Bilinear";
    }
    return "";
}

const char* mipMappingName(MipMapping mipMapping) {
    switch (mipMapping) {
        case MipMapping::Off: return "Off";
        case MipMapping::Nearest: return "Nearest-Neighbor";
        case MipMapping::Linear: return "Linear";
    }
    return "";
}

TextureSampling nextSampling(TextureSampling sampling) {
    return sampling == TextureSampling::Bilinear ? TextureSampling::Nearest : TextureSampling::Bilinear;
}

MipMapping nextMipMapping(MipMapping mipMapping) {
    switch (mipMapping) {
        case MipMapping::Off: return MipMapping::Nearest;
        case MipMapping::Nearest: return MipMapping::Linear;
        case MipMapping::Linear: return MipMapping::Off;
    }
    return MipMapping::Linear;
}
