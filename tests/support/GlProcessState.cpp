// The GL rooms' part of ProcessState, installed when the GL test support is
// linked in.

#include "render/Environment.h"
#include "support/ProcessState.h"
#include "world/WorldTerrain.h"

namespace {

struct SavedEnvironment {
    bool fog = environment.fogEnabled;
    float fogRange = environment.fogRange;
    float fogDensity = environment.fogDensity;
    LightingMode lightingMode = environment.lightingMode;
};

std::shared_ptr<void> saveEnvironment() {
    std::shared_ptr<SavedEnvironment> saved(new SavedEnvironment, [](SavedEnvironment* back) {
        environment.fogEnabled = back->fog;
        environment.fogRange = back->fogRange;
        environment.fogDensity = back->fogDensity;
        environment.lightingMode = back->lightingMode;
        delete back;
    });
    const Environment defaults;
    environment.fogEnabled = defaults.fogEnabled;
    environment.fogRange = defaults.fogRange;
    environment.fogDensity = defaults.fogDensity;
    environment.lightingMode = defaults.lightingMode;
    return saved;
}

void emptyTerrainAndLights() {
    forgetTerrain();
    environment.clearLights();
}

const bool installed = [] {
    ProcessState::saveGlRecords = saveEnvironment;
    ProcessState::emptyGlOwners = emptyTerrainAndLights;
    return true;
}();

}  // namespace
