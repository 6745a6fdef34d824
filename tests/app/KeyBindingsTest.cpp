#include "core/KeyBindings.h"

#include <GLFW/glfw3.h>

#include <gtest/gtest.h>

#include "support/ProcessState.h"
#include "support/TempDir.h"

namespace {

using Keys = std::vector<int>;

// The bindings after `text`, with the problems it gave.
KeyBindings parsed(const std::string& text, std::vector<std::string>& problems) {
    KeyBindings keys;
    keys.parse(text, problems);
    return keys;
}

}  // namespace

TEST(KeyBindings, DefaultsAreTodaysKeys) {
    const KeyBindings keys;
    EXPECT_EQ(keys.keys(KeyBindings::NOSE_DOWN), (Keys{GLFW_KEY_W, GLFW_KEY_UP}));
    EXPECT_EQ(keys.keys(KeyBindings::NOSE_UP), (Keys{GLFW_KEY_S, GLFW_KEY_DOWN}));
    EXPECT_EQ(keys.keys(KeyBindings::ROLL_LEFT), (Keys{GLFW_KEY_A, GLFW_KEY_LEFT}));
    EXPECT_EQ(keys.keys(KeyBindings::ROLL_RIGHT), (Keys{GLFW_KEY_D, GLFW_KEY_RIGHT}));
    EXPECT_EQ(keys.keys(KeyBindings::FLAP), (Keys{GLFW_KEY_SPACE}));
    EXPECT_EQ(keys.keys(KeyBindings::RESTART), (Keys{GLFW_KEY_ENTER}));
    EXPECT_EQ(keys.keys(KeyBindings::NEXT_LEVEL), (Keys{GLFW_KEY_SPACE}));
    EXPECT_EQ(keys.keys(KeyBindings::PAUSE), (Keys{GLFW_KEY_P}));
    EXPECT_EQ(keys.keys(KeyBindings::BOARD), (Keys{GLFW_KEY_TAB}));
}

TEST(KeyBindings, ListedActionsTakeExactlyTheirKeysAndOthersKeepTheDefaults) {
    std::vector<std::string> problems;
    const KeyBindings keys = parsed(
        "# left-handed\n"
        "NOSE_UP=J KP_8\r\n"
        "\n"
        "; comment\n"
        "  flap =  right_shift\n"
        "PAUSE=ENTER\n"
        "PAUSE=PAUSE BACKSPACE\n",
        problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(keys.keys(KeyBindings::NOSE_UP), (Keys{GLFW_KEY_J, GLFW_KEY_KP_8}));
    EXPECT_EQ(keys.keys(KeyBindings::FLAP), (Keys{GLFW_KEY_RIGHT_SHIFT}));
    // A later line for an action wins.
    EXPECT_EQ(keys.keys(KeyBindings::PAUSE), (Keys{GLFW_KEY_PAUSE, GLFW_KEY_BACKSPACE}));
    EXPECT_EQ(keys.keys(KeyBindings::NOSE_DOWN), KeyBindings().keys(KeyBindings::NOSE_DOWN));
    EXPECT_EQ(keys.keys(KeyBindings::RESTART), KeyBindings().keys(KeyBindings::RESTART));
}

TEST(KeyBindings, EachBadLineIsSkippedWithItsNumberAndReason) {
    const struct {
        const char* line;
        const char* reason;
    } cases[] = {
        {"NOSE_UPP=J", "unknown action NOSE_UPP"},
        {"NOSE_UP=J FOO", "unknown key FOO"},
        {"NOSE_UP=", "no keys for NOSE_UP"},
        {"NOSE_UP J", "no ACTION=KEY"},
        {"NOSE_UP=\x01\xff", "not a line of text"},
        {"NOSE_UP=ESCAPE", "ESCAPE always quits"},
        {"NOSE_UP=J F3", "F3 is a setting key"},
        {"NOSE_UP=g", "G is a setting key"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> problems;
        const KeyBindings keys = parsed(std::string("ROLL_LEFT=Q\n") + c.line + "\n", problems);
        ASSERT_EQ(problems.size(), 1u) << c.line;
        EXPECT_EQ(problems[0].rfind("line 2 (", 0), 0u) << problems[0];
        EXPECT_NE(problems[0].find(c.reason), std::string::npos) << problems[0];
        EXPECT_EQ(keys.keys(KeyBindings::NOSE_UP), KeyBindings().keys(KeyBindings::NOSE_UP)) << c.line;
        EXPECT_EQ(keys.keys(KeyBindings::ROLL_LEFT), Keys{GLFW_KEY_Q}) << c.line;
    }
}

TEST(KeyBindings, FileProblemsNameTheFileAndAMissingFileIsSilent) {
    ProcessState state;
    TempDir dir;
    dir.write("controls.ini", "NOSE_UP=K\nJUMP=SPACE\n");
    KeyBindings keys;
    testing::internal::CaptureStdout();
    keys.readFile(dir.file("controls.ini"));
    keys.readFile(dir.file("missing.ini"));
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console, dir.file("controls.ini") + " line 2 (JUMP=SPACE): unknown action JUMP, skipped\n");
    EXPECT_EQ(keys.keys(KeyBindings::NOSE_UP), Keys{GLFW_KEY_K});
}

TEST(KeyBindings, KeyNamesGoBothWays) {
    for (const char* name : {"W", "UP", "SPACE", "ENTER", "KP_8", "J", "TAB", "0", "F25", "MENU"}) {
        EXPECT_EQ(KeyBindings::keyName(KeyBindings::keyCode(name)), name);
    }
    EXPECT_EQ(KeyBindings::keyCode("kp_enter"), GLFW_KEY_KP_ENTER);
    EXPECT_EQ(KeyBindings::keyCode("GLFW_KEY_W"), -1);
}

// A key held when a menu closes does nothing until released: neither as a
// held flight key nor as a single press.
TEST_F(ScriptedInputTest, HeldKeysAreIgnoredUntilReleased) {
    KeyBindings& keys = gameState.keyBindings;
    input.press(GLFW_KEY_W);
    input.press(GLFW_KEY_ENTER);
    keys.ignoreHeldKeys(nullptr);
    EXPECT_FALSE(keys.held(nullptr, KeyBindings::NOSE_DOWN));
    EXPECT_FALSE(keys.pressedOnce(nullptr, KeyBindings::RESTART));
    input.press(GLFW_KEY_UP);  // pressed afterwards: counts
    EXPECT_TRUE(keys.held(nullptr, KeyBindings::NOSE_DOWN));
    input.release(GLFW_KEY_UP);
    input.releaseAll();
    EXPECT_FALSE(keys.held(nullptr, KeyBindings::NOSE_DOWN));
    EXPECT_FALSE(keys.pressedOnce(nullptr, KeyBindings::RESTART));
    input.press(GLFW_KEY_W);
    input.press(GLFW_KEY_ENTER);
    EXPECT_TRUE(keys.held(nullptr, KeyBindings::NOSE_DOWN));
    EXPECT_TRUE(keys.pressedOnce(nullptr, KeyBindings::RESTART));
}
