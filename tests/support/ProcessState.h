#pragma once

#include <map>
#include <memory>

#include <gtest/gtest.h>

#include "app/CourseTimes.h"
#include "core/GameSettings.h"
#include "core/GameState.h"
#include "core/RenderSettings.h"
#include "core/ScriptedInput.h"

// The game keeps its state in process-wide records; a test that changes one
// would leave it changed for the tests after it. Make a ProcessState the
// test's first member (GlTest has one) so that it outlives what the test
// builds.
class ProcessState {
public:
    // Saves the plain records (game state, settings, best times, render
    // settings, the fog and lighting mode) and starts the test from their
    // defaults; empties the ones that own or borrow objects (level lights,
    // collision registry, current terrain, installed input and audio).
    ProcessState();
    // Empties those owners again and puts the saved records back.
    ~ProcessState();
    ProcessState(const ProcessState&) = delete;
    ProcessState& operator=(const ProcessState&) = delete;

    // Deletes the game's scene (the level, and the player under it) and
    // empties the owners: a GL test does so while its context still lives.
    void deleteScene();

    // This support links no GL, so the records of the GL rooms (the fog,
    // lighting mode and lights of the environment, the current terrain, the
    // environment keys' latch, the wireframe hook, the
    // finish line) are
    // kept by the GL test support through these hooks: the first saves them,
    // starts them from their defaults and hands back what puts them back when
    // dropped; the second empties their owners.
    static std::shared_ptr<void> (*saveGlRecords)();
    static void (*emptyGlOwners)();

private:
    static void emptyOwners();

    GameState savedGameState;
    GameSettings savedGameSettings;
    std::map<int, double> savedHighscores;
    CourseTimes savedCourseTimes;
    RenderSettings savedRenderSettings;
    std::shared_ptr<void> savedGlRecords;
};

// A unit test on fresh process state, its keys and joysticks scripted.
class ScriptedInputTest : public ::testing::Test {
protected:
    ScriptedInputTest() { Input::install(&input); }

    ProcessState state;
    ScriptedInput input;
};
