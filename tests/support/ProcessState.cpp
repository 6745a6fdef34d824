#include "support/ProcessState.h"

#include "app/Audio.h"
#include "app/Highscores.h"
#include "app/Input.h"
#include "render/Environment.h"
#include "scene/Node.h"
#include "scene/CollisionRegistry.h"
#include "world/WorldTerrain.h"

ProcessState::ProcessState()
    : savedGameState(gameState),
      savedGameSettings(gameSettings),
      savedHighscores(highscores),
      savedRenderSettings(RenderSettings::instance()),
      savedFog(environment.fogEnabled),
      savedFogRange(environment.fogRange),
      savedFogDensity(environment.fogDensity),
      savedLightingMode(environment.lightingMode) {
    emptyOwners();
    gameState = GameState{};
    gameSettings = GameSettings{};
    highscores.clear();
    const Environment defaults;
    environment.fogEnabled = defaults.fogEnabled;
    environment.fogRange = defaults.fogRange;
    environment.fogDensity = defaults.fogDensity;
    environment.lightingMode = defaults.lightingMode;
}

ProcessState::~ProcessState() {
    emptyOwners();
    gameState = savedGameState;
    gameSettings = savedGameSettings;
    highscores = savedHighscores;
    RenderSettings::instance() = savedRenderSettings;
    environment.fogEnabled = savedFog;
    environment.fogRange = savedFogRange;
    environment.fogDensity = savedFogDensity;
    environment.lightingMode = savedLightingMode;
}

void ProcessState::deleteScene() {
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
    emptyOwners();
}

void ProcessState::emptyOwners() {
    // The terrain first: the registry borrows its vertices.
    forgetTerrain();
    collisionRegistry = CollisionRegistry();
    environment.clearLights();
    Input::install(nullptr);
    Audio::install(nullptr);
}
