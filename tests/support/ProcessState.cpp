#include "support/ProcessState.h"

#include "core/Audio.h"
#include "app/CourseTimes.h"
#include "app/Highscores.h"
#include "core/Input.h"
#include "scene/Node.h"
#include "scene/CollisionRegistry.h"
#include "world/LevelMarkers.h"
#include "world/WorldTerrain.h"

std::shared_ptr<void> (*ProcessState::saveGlRecords)() = nullptr;
void (*ProcessState::emptyGlOwners)() = nullptr;

ProcessState::ProcessState()
    : savedGameState(gameState),
      savedGameSettings(gameSettings),
      savedHighscores(highscores),
      savedCourseTimes(courseTimes),
      savedRenderSettings(RenderSettings::instance()),
      savedGlRecords(saveGlRecords ? saveGlRecords() : nullptr) {
    emptyOwners();
    gameState = GameState{};
    gameSettings = GameSettings{};
    highscores.clear();
    courseTimes = CourseTimes();
    goalPosition = LevelMarkers::defaultGoal;
}

ProcessState::~ProcessState() {
    emptyOwners();
    gameState = savedGameState;
    gameSettings = savedGameSettings;
    highscores = savedHighscores;
    courseTimes = savedCourseTimes;
    RenderSettings::instance() = savedRenderSettings;
    savedGlRecords.reset();
}

void ProcessState::deleteScene() {
    delete gameState.sceneRoot;
    gameState.sceneRoot = nullptr;
    emptyOwners();
}

void ProcessState::emptyOwners() {
    // The terrain first: the registry borrows its vertices.
    if (emptyGlOwners) emptyGlOwners();
    forgetTerrain();
    collisionRegistry = CollisionRegistry();
    Input::install(nullptr);
    Audio::install(nullptr);
}
