#include "core/GameState.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "support/ProcessState.h"

namespace {

class KeyPressedOnce : public ScriptedInputTest {};

}  // namespace

TEST_F(KeyPressedOnce, OnePressCountsOnceHoweverLongItIsHeld) {
    EXPECT_FALSE(keyPressedOnce(nullptr, GLFW_KEY_T));
    input.press(GLFW_KEY_T);
    EXPECT_TRUE(keyPressedOnce(nullptr, GLFW_KEY_T));
    EXPECT_FALSE(keyPressedOnce(nullptr, GLFW_KEY_T));
    EXPECT_FALSE(keyPressedOnce(nullptr, GLFW_KEY_T));
    input.release(GLFW_KEY_T);
    EXPECT_FALSE(keyPressedOnce(nullptr, GLFW_KEY_T));
    EXPECT_FALSE(gameState.keyWasDown[GLFW_KEY_T]);
    input.press(GLFW_KEY_T);
    EXPECT_TRUE(keyPressedOnce(nullptr, GLFW_KEY_T));
}

TEST_F(KeyPressedOnce, FlagChangesOnlyWhenTheKeyIsTested) {
    input.press(GLFW_KEY_SPACE);
    EXPECT_TRUE(keyPressedOnce(nullptr, GLFW_KEY_SPACE));
    // Released and pressed again without a test in between: still the same press.
    input.release(GLFW_KEY_SPACE);
    input.press(GLFW_KEY_SPACE);
    EXPECT_FALSE(keyPressedOnce(nullptr, GLFW_KEY_SPACE));
    // A key held before its first test counts at that test.
    input.press(GLFW_KEY_ENTER);
    EXPECT_TRUE(keyPressedOnce(nullptr, GLFW_KEY_ENTER));
}

TEST_F(KeyPressedOnce, KeysAreIndependentAndOutOfRangeKeysNeverCount) {
    input.press(GLFW_KEY_F2);
    input.press(GLFW_KEY_F3);
    EXPECT_TRUE(keyPressedOnce(nullptr, GLFW_KEY_F2));
    EXPECT_TRUE(keyPressedOnce(nullptr, GLFW_KEY_F3));
    EXPECT_FALSE(keyPressedOnce(nullptr, GLFW_KEY_F2));
    input.press(GLFW_KEY_LAST + 1);
    input.press(-1);
    EXPECT_FALSE(keyPressedOnce(nullptr, GLFW_KEY_LAST + 1));
    EXPECT_FALSE(keyPressedOnce(nullptr, -1));
    input.press(GLFW_KEY_LAST);
    EXPECT_TRUE(keyPressedOnce(nullptr, GLFW_KEY_LAST));
}
