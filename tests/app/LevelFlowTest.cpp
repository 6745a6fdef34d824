#include "app/LevelFlow.h"

#include <GLFW/glfw3.h>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/GameState.h"
#include "app/CourseTimes.h"
#include "app/Highscores.h"
#include "app/Hud.h"
#include "app/SettingKeys.h"
#include "player/PlayerNode.h"
#include "support/GameFrames.h"
#include "support/ProcessState.h"
#include "support/RecordingAudio.h"
#include "world/LevelObjects.h"

namespace {

int rebuilds = 0;
std::vector<int> rebuiltLevels;
void recordRebuild() {
    ++rebuilds;
    rebuiltLevels.push_back(gameState.levelNumber);
}

const glm::vec3 START(0.0f, 130.0f, 50.0f);

// The race driven frame by frame through the game's frame update, one step
// a frame, with the flight replaced by placing the player by hand.
class LevelFlow : public ScriptedInputTest {
protected:
    void SetUp() override {
        presetHighscores();
        rebuilds = 0;
        rebuiltLevels.clear();

        root = new Node();
        terrain = new Node();
        // The terrain is moved and tilted: the finish is measured in its space.
        terrain->setPosition(glm::vec3(0.0f, -200.0f, 1000.0f));
        terrain->setRotation(15.0f, 0.0f, 0.0f);
        root->addChild(terrain);
        player = new PlayerNode(nullptr);
        player->startPosition = START;
        root->addChild(player);
        gameState.sceneRoot = root;
        gameState.terrain = terrain;
        gameState.player = player;
        refreshMatrices(0.0);
        finishLine = 100.0f;
        hud.setUp();
    }
    void TearDown() override {
        delete root;
    }

    // Puts the player at track position z (terrain space), on the terrain's
    // centre line.
    void placeAtTrack(float z) {
        glm::vec4 world = terrain->getWorldMatrix() * glm::vec4(0.0f, 300.0f, z, 1.0f);
        player->setPosition(glm::vec3(world));
    }

    // What the scene update does for the finish test: fresh world matrices.
    // The flight model is left out; the tests place the player by hand.
    void refreshMatrices(double dt) {
        terrain->update(dt);
        player->Node::update(dt);
    }

    // The game's update with the test's texts and level build, then the
    // texts drawn. Each test keeps to one frame length.
    void pass(double dt) {
        if (!frames) {
            frames.reset(new GameFrames(dt));
            frames->settingKeys = [] { handleSettingKeys(nullptr); };
            frames->textKeys = [this](double seconds) { hud.update(nullptr, seconds); };
            frames->levelBuild = [this] {
                hud.setLevelText();
                recordRebuild();
            };
            frames->stepWith = [this](double seconds) {
                raceStep(seconds);
                if (moveTo) placeAtTrack(*moveTo);
                moveTo = nullptr;
                refreshMatrices(seconds);
            };
            frames->texts = [this] { hud.setTimeText(); };
        }
        // Scripted frames hold no loading time: every one is flown.
        frames->restartClock();
        frames->run(dt);
        hud.drawTexts();
        drawEndOfLevel(hud);
    }

    // Flies a run of `passes` passes of dt and crosses the line in the last.
    void finishRun(int passes, double dt) {
        for (int i = 0; i < passes - 1; ++i) pass(dt);
        static const float beyond = 150.0f;
        moveTo = &beyond;
        pass(dt);
    }

    void tapDuringPass(int key, double dt) {
        input.press(key);
        pass(dt);
        input.release(key);
    }

    bool endScreenShown() const { return hud.wasDrawn(Hud::FINISHED); }

    Hud hud{false};
    Node* root = nullptr;
    Node* terrain = nullptr;
    PlayerNode* player = nullptr;
    const float* moveTo = nullptr;
    std::unique_ptr<GameFrames> frames;
};

}  // namespace

TEST_F(LevelFlow, TrackPositionIsMeasuredInTerrainSpace) {
    placeAtTrack(99.0f);
    refreshMatrices(0.0);
    EXPECT_NEAR(playerTrackPosition(), 99.0f, 1e-3f);
    EXPECT_FALSE(playerPastFinish());
    placeAtTrack(100.5f);
    refreshMatrices(0.0);
    EXPECT_NEAR(playerTrackPosition(), 100.5f, 1e-3f);
    EXPECT_TRUE(playerPastFinish());
    // The tilt matters: the world z is far from the terrain's offset plus the line.
    EXPECT_GT(std::abs(glm::vec3(player->getWorldMatrix()[3]).z - 1100.5f), 10.0f);

    // Without a terrain the world z counts.
    gameState.terrain = nullptr;
    player->setPosition(glm::vec3(0.0f, 0.0f, 100.5f));
    refreshMatrices(0.0);
    EXPECT_TRUE(playerPastFinish());
    gameState.player = nullptr;
    EXPECT_FALSE(playerPastFinish());
}

TEST_F(LevelFlow, ClockStartsWithAResetAndRunsThroughCrashes) {
    player->setPosition(glm::vec3(1.0f, 2.0f, 3.0f));
    pass(0.25);
    EXPECT_EQ(glm::vec3(player->translationMatrix[3]), START);
    EXPECT_EQ(gameState.raceTime, 0.25);
    player->stopped = true;
    player->setPosition(glm::vec3(9.0f, 9.0f, 9.0f));
    for (int i = 0; i < 3; ++i) pass(0.25);
    EXPECT_EQ(gameState.raceTime, 1.0);
    // Not reset again while the run goes on.
    EXPECT_EQ(glm::vec3(player->translationMatrix[3]), glm::vec3(9.0f, 9.0f, 9.0f));
    EXPECT_TRUE(player->stopped);
    EXPECT_STREQ(hud.text(Hud::TIME), "Time:1.000 / 50000.000");
}

TEST_F(LevelFlow, FirstFinishHasNoHighscoreLineThenShowsTheNewBest) {
    finishRun(6, 0.25);
    EXPECT_TRUE(player->stopped);
    // The pass that crosses the line still counts; then the clock stops.
    EXPECT_EQ(gameState.raceTime, 1.5);
    ASSERT_TRUE(endScreenShown());
    EXPECT_FALSE(hud.wasDrawn(Hud::BEST_TIME));
    EXPECT_STREQ(hud.text(Hud::FINISHED), "Finished in 1.500 s");
    EXPECT_STREQ(hud.text(Hud::NEXT), "SPACE = next level");
    EXPECT_STREQ(hud.text(Hud::RESTART), "ENTER = restart level");
    EXPECT_EQ(highscores[1], 1.5);

    pass(0.25);
    EXPECT_EQ(gameState.raceTime, 1.5);
    ASSERT_TRUE(endScreenShown());
    ASSERT_TRUE(hud.wasDrawn(Hud::BEST_TIME));
    EXPECT_STREQ(hud.text(Hud::BEST_TIME), "Highscore: 1.500 s");
    EXPECT_STREQ(hud.text(Hud::TIME), "Time:1.500 / 1.500");
    std::vector<Hud::Line> tail(hud.drawnLines.end() - 4, hud.drawnLines.end());
    EXPECT_EQ(tail, (std::vector<Hud::Line>{Hud::FINISHED, Hud::BEST_TIME, Hud::NEXT, Hud::RESTART}));
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(LevelFlow, OnlyAStrictlyFasterTimeReplacesTheBest) {
    highscores[1] = 1.25;
    finishRun(5, 0.25);  // equal
    EXPECT_EQ(highscores[1], 1.25);
    EXPECT_EQ(gameState.raceTime, 1.25);
    EXPECT_STREQ(hud.text(Hud::BEST_TIME), "Highscore: 1.250 s");

    input.press(GLFW_KEY_ENTER);
    pass(0.25);  // the restart's own frame is flown and counted
    input.release(GLFW_KEY_ENTER);
    EXPECT_FALSE(player->stopped);
    finishRun(7, 0.25);  // slower
    EXPECT_EQ(gameState.raceTime, 2.0);
    EXPECT_EQ(highscores[1], 1.25);

    input.press(GLFW_KEY_ENTER);
    pass(0.25);
    input.release(GLFW_KEY_ENTER);
    finishRun(3, 0.25);  // faster
    EXPECT_EQ(highscores[1], 1.0);
}

TEST_F(LevelFlow, StoredZeroIsNeverBeaten) {
    highscores[1] = 0.0;
    finishRun(2, 0.25);
    EXPECT_EQ(highscores[1], 0.0);
    EXPECT_STREQ(hud.text(Hud::BEST_TIME), "Highscore: 0.000 s");
}

TEST_F(LevelFlow, SpaceChangesTheLevelAfterExactlyTwoSeconds) {
    finishRun(4, 0.25);
    input.press(GLFW_KEY_SPACE);
    pass(0.25);
    EXPECT_EQ(gameState.levelNumber, 2);
    EXPECT_TRUE(gameState.levelChangePending);
    EXPECT_EQ(gameState.levelChangeCountdown, 2.0);
    EXPECT_STREQ(gameState.statusMessage, "Loading next level...");
    EXPECT_EQ(gameState.messageTime, 3.0);
    input.release(GLFW_KEY_SPACE);

    int statusPasses = 0;
    for (int i = 1; i <= 7; ++i) {
        pass(0.25);
        if (hud.wasDrawn(Hud::STATUS)) ++statusPasses;
        EXPECT_FALSE(endScreenShown()) << i;  // hidden during the countdown
        EXPECT_EQ(rebuilds, 0) << i;
    }
    EXPECT_EQ(gameState.levelChangeCountdown, 0.25);
    EXPECT_STREQ(hud.text(Hud::LEVEL), "Level:1");
    pass(0.25);  // two seconds after SPACE
    if (hud.wasDrawn(Hud::STATUS)) ++statusPasses;
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(rebuiltLevels, std::vector<int>{2});
    EXPECT_FALSE(gameState.levelChangePending);
    EXPECT_EQ(gameState.levelChangeCountdown, -1.0);
    // The new level is built before the frame's step, which starts its run.
    EXPECT_EQ(gameState.raceTime, 0.25);
    EXPECT_STREQ(hud.text(Hud::LEVEL), "Level:2");

    // The new run starts at the start; "Loading next level..." outlasts the
    // countdown by one second.
    for (int i = 0; i < 6; ++i) {
        pass(0.25);
        if (hud.wasDrawn(Hud::STATUS)) ++statusPasses;
    }
    EXPECT_EQ(statusPasses, 12);
    EXPECT_EQ(glm::vec3(player->translationMatrix[3]), START);
    EXPECT_FALSE(player->stopped);
    // Every step of the new run counts: the reset drops the pose of the
    // last one, which was past the line.
    EXPECT_EQ(gameState.raceTime, 1.75);
    EXPECT_STREQ(hud.text(Hud::TIME), "Time:1.750 / 50000.000");
    EXPECT_EQ(rebuilds, 1);
}

TEST_F(LevelFlow, EachFinishChimesOnceAndTheCountdownTicksEverySecond) {
    RecordingAudio audio;
    const double frame = 1.0 / 60.0;
    finishRun(30, frame);
    for (int i = 0; i < 30; ++i) pass(frame);
    EXPECT_EQ(audio.events, std::vector<std::string>{"chime"});

    tapDuringPass(GLFW_KEY_SPACE, frame);
    while (rebuilds == 0) pass(frame);
    EXPECT_EQ(audio.events, (std::vector<std::string>{"chime", "tick", "tick"}));

    // The next level's finish chimes again; a restart from its end screen
    // and the finish after it, once more.
    finishRun(30, frame);
    tapDuringPass(GLFW_KEY_ENTER, frame);
    finishRun(30, frame);
    EXPECT_EQ(audio.count("chime"), 3);
    EXPECT_EQ(audio.count("tick"), 2);
}

TEST_F(LevelFlow, LevelTenGoesOnToLevelOne) {
    gameState.levelNumber = 10;
    finishRun(2, 0.5);
    EXPECT_STREQ(hud.text(Hud::NEXT), "SPACE = restart game");
    EXPECT_EQ(highscores[10], 1.0);
    tapDuringPass(GLFW_KEY_SPACE, 0.5);
    EXPECT_EQ(gameState.levelNumber, 1);
    for (int i = 0; i < 4; ++i) pass(0.5);
    EXPECT_EQ(rebuiltLevels, std::vector<int>{1});
    EXPECT_EQ(highscores[10], 1.0);
}

// Own courses keep their best times apart from the ten levels' and go on to
// the next own course, and after the last to level 1.
TEST_F(LevelFlow, OwnCoursesRunOnToTheNextAndThenToLevelOne) {
    const std::map<int, double> tenLevels = highscores;
    gameState.ownCourses = {{11, "levels/a.png", "a", "00000000000000aa"}, {12, "levels/b.png", "b", "00000000000000bb"}};
    gameState.ownCourse = gameState.ownCourses[0];
    gameState.levelNumber = 11;
    hud.setLevelText();
    EXPECT_STREQ(hud.text(Hud::LEVEL), "Course:a");
    finishRun(2, 0.5);
    EXPECT_STREQ(hud.text(Hud::NEXT), "SPACE = next level");
    EXPECT_EQ(courseTimes.best("00000000000000aa"), 1.0);
    EXPECT_EQ(highscores, tenLevels);

    tapDuringPass(GLFW_KEY_SPACE, 0.5);
    for (int i = 0; i < 4; ++i) pass(0.5);
    EXPECT_EQ(gameState.ownCourse.name, "b");
    EXPECT_STREQ(hud.text(Hud::LEVEL), "Course:b");
    EXPECT_NE(std::string(hud.text(Hud::TIME)).find(" / 50000.000"), std::string::npos) << hud.text(Hud::TIME);
    finishRun(3, 0.5);
    const double flown = gameState.raceTime;
    EXPECT_STREQ(hud.text(Hud::NEXT), "SPACE = restart game");
    tapDuringPass(GLFW_KEY_SPACE, 0.5);
    for (int i = 0; i < 4; ++i) pass(0.5);
    EXPECT_EQ(rebuiltLevels, (std::vector<int>{12, 1}));
    EXPECT_EQ(courseTimes.best("00000000000000bb"), flown);
    EXPECT_EQ(highscores, tenLevels);
}

TEST_F(LevelFlow, SpaceHeldBeforeTheFinishCountsAtOnce) {
    input.press(GLFW_KEY_SPACE);
    finishRun(3, 0.5);
    EXPECT_TRUE(gameState.levelChangePending);
    EXPECT_EQ(gameState.levelNumber, 2);
    // Still held at the next level's end screen: the flag was left set.
    for (int i = 0; i < 4; ++i) pass(0.5);
    ASSERT_EQ(rebuilds, 1);
    finishRun(3, 0.5);
    EXPECT_TRUE(endScreenShown());
    EXPECT_FALSE(gameState.levelChangePending);
    input.release(GLFW_KEY_SPACE);
    pass(0.5);
    EXPECT_FALSE(gameState.levelChangePending);
    input.press(GLFW_KEY_SPACE);
    pass(0.5);
    EXPECT_TRUE(gameState.levelChangePending);
    EXPECT_EQ(gameState.levelNumber, 3);
}

TEST_F(LevelFlow, SpaceAwayFromTheEndScreenDoesNothing) {
    tapDuringPass(GLFW_KEY_SPACE, 0.5);
    pass(0.5);
    EXPECT_FALSE(gameState.levelChangePending);
    EXPECT_EQ(gameState.levelNumber, 1);
    EXPECT_EQ(gameState.levelChangeCountdown, -1.0);
}

TEST_F(LevelFlow, EnterRestartsWhileFlyingAndOnTheEndScreen) {
    for (int i = 0; i < 4; ++i) pass(0.5);
    player->setPosition(glm::vec3(3.0f, 4.0f, 5.0f));
    player->stopped = true;
    input.press(GLFW_KEY_ENTER);
    pass(0.5);
    // Restarted by the keys before the frame's step, which counts.
    EXPECT_EQ(gameState.raceTime, 0.5);
    EXPECT_EQ(glm::vec3(player->translationMatrix[3]), START);
    EXPECT_FALSE(player->stopped);
    input.release(GLFW_KEY_ENTER);
    pass(0.5);
    EXPECT_EQ(gameState.raceTime, 1.0);

    finishRun(2, 0.5);
    ASSERT_TRUE(endScreenShown());
    tapDuringPass(GLFW_KEY_ENTER, 0.5);
    EXPECT_FALSE(endScreenShown());
    EXPECT_FALSE(player->stopped);
    pass(0.5);
    EXPECT_FALSE(endScreenShown());
    EXPECT_EQ(gameState.raceTime, 1.0);
    EXPECT_EQ(rebuilds, 0);
}

TEST_F(LevelFlow, EnterDuringTheCountdownStillChangesTheLevel) {
    finishRun(2, 0.5);
    tapDuringPass(GLFW_KEY_SPACE, 0.5);
    pass(0.5);
    tapDuringPass(GLFW_KEY_ENTER, 0.5);
    EXPECT_EQ(glm::vec3(player->translationMatrix[3]), START);
    EXPECT_EQ(gameState.raceTime, 0.5);
    EXPECT_TRUE(gameState.levelChangePending);
    pass(0.5);
    EXPECT_EQ(rebuilds, 0);
    pass(0.5);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(rebuiltLevels, std::vector<int>{2});
    EXPECT_EQ(gameState.levelChangeCountdown, -1.0);
}

TEST_F(LevelFlow, HeldJoy1StartsTheChangeInTheFirstScreenPass) {
    input.setJoystick(0, {}, {GLFW_PRESS, GLFW_RELEASE});
    finishRun(2, 0.5);
    ASSERT_TRUE(endScreenShown());
    EXPECT_STREQ(hud.text(Hud::NEXT), "SPACE or Joy1 = next level");
    EXPECT_STREQ(hud.text(Hud::RESTART), "ENTER or Joy2 = restart level");
    EXPECT_TRUE(gameState.levelChangePending);
    EXPECT_EQ(gameState.levelNumber, 2);
    for (int i = 0; i < 4; ++i) pass(0.5);
    EXPECT_EQ(rebuilds, 1);
    // Still held: the next finish goes on at once again.
    finishRun(2, 0.5);
    EXPECT_EQ(gameState.levelNumber, 3);
}

TEST_F(LevelFlow, JoystickTextsStayAfterItIsGone) {
    input.setJoystick(3, {}, {GLFW_RELEASE});
    player->reset();  // lists the joystick, as the figure's assembly does
    gameState.levelNumber = 10;
    pass(0.5);
    input.unplugJoystick(3);
    finishRun(2, 0.5);
    EXPECT_STREQ(hud.text(Hud::NEXT), "SPACE or Joy1 = restart game");
    EXPECT_FALSE(gameState.levelChangePending);
}

TEST_F(LevelFlow, JoystickWithoutButtonsNeverTriggersJoy1) {
    input.setJoystick(0, {0.5f}, {});
    finishRun(2, 0.5);
    for (int i = 0; i < 3; ++i) pass(0.5);
    EXPECT_TRUE(gameState.joystickSeen);
    EXPECT_TRUE(endScreenShown());
    EXPECT_FALSE(gameState.levelChangePending);
}

TEST_F(LevelFlow, CountdownStopsAtExactlyZero) {
    countdownStep(0.5);
    EXPECT_EQ(gameState.levelChangeCountdown, -1.0);
    gameState.levelChangeCountdown = 2.0;
    countdownStep(0.3);
    EXPECT_DOUBLE_EQ(gameState.levelChangeCountdown, 1.7);
    countdownStep(5.0);
    EXPECT_EQ(gameState.levelChangeCountdown, 0.0);
    countdownStep(0.1);
    EXPECT_EQ(gameState.levelChangeCountdown, 0.0);
}
