#include "app/BoardControl.h"

#include <gtest/gtest.h>

#include "app/Highscores.h"
#include "app/OwnCourses.h"
#include "app/PauseControl.h"
#include "app/StepClock.h"
#include "core/GameState.h"
#include "core/ScriptedInput.h"
#include "player/PlayerNode.h"
#include "player/WorldStep.h"
#include "support/MapImage.h"
#include "support/ProcessState.h"
#include "support/TempDir.h"

namespace {

using Event = BoardControl::Event;

// The board over a mesh-less player on level 3 of the shipped catalogue,
// with gamepad 0 plugged in.
class BoardTest : public ScriptedInputTest {
protected:
    void SetUp() override {
        root = new Node();
        player = new PlayerNode(nullptr);
        player->startPosition = glm::vec3(0.0f, 130.0f, 50.0f);
        player->joysticks = {0};
        root->addChild(player);
        gameState.sceneRoot = root;
        gameState.player = player;
        gameState.levelNumber = 3;
        presetHighscores();
        input.setGamepad(0, pad);
        board.hasGhost = [](int level) { return level == 2; };
        testing::internal::CaptureStdout();
    }
    void TearDown() override {
        console = testing::internal::GetCapturedStdout();
        delete root;
    }

    // A key pressed for one frame and released for the next.
    Event tap(int key) {
        input.press(key);
        const Event event = board.readInput(nullptr);
        input.release(key);
        const Event after = board.readInput(nullptr);
        return event != Event::None ? event : after;
    }
    Event tapButton(int button) {
        pad.buttons[button] = GLFW_PRESS;
        input.setGamepad(0, pad);
        const Event event = board.readInput(nullptr);
        pad.buttons[button] = GLFW_RELEASE;
        input.setGamepad(0, pad);
        const Event after = board.readInput(nullptr);
        return event != Event::None ? event : after;
    }

    Node* root = nullptr;
    PlayerNode* player = nullptr;
    GLFWgamepadstate pad{};
    BoardControl board;
    std::string console;
};

}  // namespace

TEST_F(BoardTest, TabOpensOnTheCurrentLevelAndStopsTheStepsAndTabCloses) {
    EXPECT_EQ(tap(GLFW_KEY_TAB), Event::Opened);
    EXPECT_TRUE(board.isOpen());
    EXPECT_EQ(board.board().selectedLevel(), 3);
    EXPECT_EQ(board.board().rows().size(), size_t(LEVEL_COUNT));
    EXPECT_TRUE(board.board().rows()[1].ghost);

    PauseControl pause;
    StepClock clock;
    EXPECT_EQ(pause.runSteps(clock, 0.1, [](double step) { worldStep(step, {}); }), 0);
    EXPECT_EQ(gameState.raceTime, 0.0);

    EXPECT_EQ(tap(GLFW_KEY_TAB), Event::Closed);
    EXPECT_FALSE(board.isOpen());
    EXPECT_GT(pause.runSteps(clock, 0.1, [](double step) { worldStep(step, {}); }), 0);
    EXPECT_GT(gameState.raceTime, 0.0);
}

TEST_F(BoardTest, KeysAndGamepadChooseAndFlyTheSelectedLevel) {
    tap(GLFW_KEY_TAB);
    tap(GLFW_KEY_DOWN);
    tap(GLFW_KEY_S);
    EXPECT_EQ(board.board().selectedLevel(), 5);
    tap(GLFW_KEY_W);
    tapButton(GLFW_GAMEPAD_BUTTON_DPAD_DOWN);
    tapButton(GLFW_GAMEPAD_BUTTON_DPAD_DOWN);
    EXPECT_EQ(board.board().selectedLevel(), 6);
    // The stick pushed away steps up once, however long it is held.
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = -0.9f;
    input.setGamepad(0, pad);
    for (int frame = 0; frame < 5; ++frame) board.readInput(nullptr);
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = 0.0f;
    input.setGamepad(0, pad);
    EXPECT_EQ(board.board().selectedLevel(), 5);
    gameState.paused = true;

    EXPECT_EQ(tap(GLFW_KEY_ENTER), Event::Fly);
    EXPECT_EQ(board.flownLevel(), 5);
    EXPECT_FALSE(board.isOpen());
    EXPECT_FALSE(gameState.paused);

    EXPECT_EQ(tapButton(GLFW_GAMEPAD_BUTTON_BACK), Event::Opened);
    EXPECT_EQ(tapButton(GLFW_GAMEPAD_BUTTON_A), Event::Fly);
    EXPECT_EQ(board.flownLevel(), 3);
}

TEST_F(BoardTest, ClickSelectsThenFlies) {
    tap(GLFW_KEY_TAB);
    const LevelBoard& rows = board.board();
    // Level 8's row, as a fraction of the window from its top-left corner.
    const double y = 1.0 - (rows.rowY(7) + LevelBoard::ROW_SIZE / 2) / 600.0;
    input.moveCursor(0.2, y);
    auto click = [this] {
        input.setMouseButton(true);
        const Event event = board.readInput(nullptr);
        input.setMouseButton(false);
        board.readInput(nullptr);
        return event;
    };
    EXPECT_EQ(click(), Event::None);
    EXPECT_EQ(rows.selectedLevel(), 8);
    EXPECT_EQ(click(), Event::Fly);
    EXPECT_EQ(board.flownLevel(), 8);
}

// Keys held across the board's opening and closing reach neither the board
// nor the flight until they are released.
TEST_F(BoardTest, HeldKeysDoNotLeakIntoTheBoardOrTheFlight) {
    input.press(GLFW_KEY_S);
    input.press(GLFW_KEY_TAB);
    board.readInput(nullptr);
    input.release(GLFW_KEY_TAB);
    board.readInput(nullptr);
    EXPECT_EQ(board.board().selectedLevel(), 3);

    input.press(GLFW_KEY_UP);
    board.readInput(nullptr);
    input.press(GLFW_KEY_ENTER);
    EXPECT_EQ(board.readInput(nullptr), Event::Fly);
    EXPECT_EQ(board.flownLevel(), 2);
    EXPECT_FALSE(player->readControls().noseDown);
    EXPECT_FALSE(player->readControls().noseUp);
    EXPECT_FALSE(gameState.keyBindings.pressedOnce(nullptr, KeyBindings::RESTART));
    input.releaseAll();
    player->readControls();
    input.press(GLFW_KEY_UP);
    EXPECT_TRUE(player->readControls().noseDown);
}

// Own courses follow the ten as the board opens: one with a problem cannot
// be flown, a good one is flown as the own course and its par shows once
// worked out; SPACE's order is the board's.
TEST_F(BoardTest, OwnCoursesFollowTheTenAndOnlyPlayableOnesFly) {
    TempDir dir;
    MapImage good(64, 64, 10);
    good.mark(6, 31, 0, 255);
    good.save(dir.file("valley.png"));
    MapImage(64, 64, 10).save(dir.file("blank.png"));
    OwnCourses courses(dir.path());
    board.ownCourses = &courses;

    tap(GLFW_KEY_TAB);
    ASSERT_EQ(board.board().rows().size(), size_t(LEVEL_COUNT + 2));
    EXPECT_NE(board.board().rows()[LEVEL_COUNT + 1].text.find("valley"), std::string::npos);
    // Both checked, one frame each; the par is still to come.
    board.work(1200);
    board.work(1200);
    EXPECT_NE(board.board().rows()[LEVEL_COUNT].text.find("no goal gate"), std::string::npos);
    EXPECT_NE(board.board().rows()[LEVEL_COUNT + 1].text.find("..."), std::string::npos);
    for (int k = 0; k < 1000 && courses.busy(); ++k) board.work(1200);
    EXPECT_EQ(board.board().rows()[LEVEL_COUNT + 1].text.find("..."), std::string::npos);
    ASSERT_EQ(gameState.ownCourses.size(), 1u);
    EXPECT_EQ(gameState.ownCourses[0].name, "valley");

    for (int k = 0; k < 8; ++k) tap(GLFW_KEY_DOWN);
    EXPECT_EQ(board.board().selectedLevel(), LEVEL_COUNT + 1);
    EXPECT_EQ(tap(GLFW_KEY_ENTER), Event::None);
    tap(GLFW_KEY_DOWN);
    EXPECT_EQ(tap(GLFW_KEY_ENTER), Event::Fly);
    EXPECT_EQ(board.flownLevel(), LEVEL_COUNT + 2);
    EXPECT_EQ(gameState.ownCourse.map, dir.file("valley.png"));
    EXPECT_EQ(gameState.ownCourse.key, gameState.ownCourses[0].key);
}
