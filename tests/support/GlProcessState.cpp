// The GL rooms' part of ProcessState, installed when the GL test support is
// linked in.

#include "app/SettingKeys.h"
#include "render/Environment.h"
#include "support/ProcessState.h"
#include "world/LevelMarkers.h"
#include "world/LevelObjects.h"
#include "world/WorldTerrain.h"

namespace {

struct SavedGlRecords {
    bool fog = environment.fogEnabled;
    float fogRange = environment.fogRange;
    float fogDensity = environment.fogDensity;
    LightingMode lightingMode = environment.lightingMode;
    bool keyLatch = environmentKeyLatch;
    PolygonModeHook polygonMode = polygonModeHook;
    glm::vec3 goal = goalPosition;  // its z is the finish line
};

std::shared_ptr<void> saveGlRecords() {
    std::shared_ptr<SavedGlRecords> saved(new SavedGlRecords, [](SavedGlRecords* back) {
        environment.fogEnabled = back->fog;
        environment.fogRange = back->fogRange;
        environment.fogDensity = back->fogDensity;
        environment.lightingMode = back->lightingMode;
        environmentKeyLatch = back->keyLatch;
        polygonModeHook = back->polygonMode;
        goalPosition = back->goal;
        delete back;
    });
    const Environment defaults;
    environment.fogEnabled = defaults.fogEnabled;
    environment.fogRange = defaults.fogRange;
    environment.fogDensity = defaults.fogDensity;
    environment.lightingMode = defaults.lightingMode;
    // As at program start.
    environmentKeyLatch = true;
    polygonModeHook = applyPolygonMode;
    goalPosition = LevelMarkers::defaultGoal;
    return saved;
}

void emptyTerrainAndLights() {
    forgetTerrain();
    environment.clearLights();
}

const bool installed = [] {
    ProcessState::saveGlRecords = saveGlRecords;
    ProcessState::emptyGlOwners = emptyTerrainAndLights;
    return true;
}();

}  // namespace
