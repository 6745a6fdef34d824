#pragma once

#include <optional>

// GLEW before anything that brings in GL.
#include "support/GlContext.h"

#include "core/ScriptedInput.h"

class Game;

// The real game set up in the test's hidden window, its keys scripted. Not
// the game's own teardown: that would end GLFW under the test's context and
// write the best times.
class GameGlTest : public GlTest {
protected:
    // Sets the game up at `level` in the working directory; a failure is
    // fatal to the test.
    void startGame(int level = 1);
    // Level 1 from a fresh copy of the data (no best times, no ghosts), its
    // first step flown; motion blur as the game set it up unless given.
    void startFreshLevelOne(std::optional<bool> motionBlur = std::nullopt);
    void TearDown() override;

    ScriptedInput input;
    Game* game = nullptr;
};
