#include "app/Hud.h"

#include <GLFW/glfw3.h>

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/GameSettings.h"
#include "core/GameState.h"
#include "app/Highscores.h"
#include "support/ProcessState.h"

namespace {

using Line = Hud::Line;

class HudTest : public ScriptedInputTest {
protected:
    void SetUp() override { presetHighscores(); }

    // The HUD's part of a frame: its update, the time line, the texts.
    void pass(Hud& hud, double dt) {
        hud.update(nullptr, dt);
        hud.setTimeText();
        hud.drawTexts();
    }
};

}  // namespace

TEST_F(HudTest, StartShowsHintsTimeAndLevel) {
    Hud hud(false);
    hud.setUp();
    pass(hud, 0.016);
    std::vector<Line> expected = {Hud::HINT_1, Hud::HINT_2, Hud::HINT_3, Hud::HINT_4,
                                  Hud::HINT_5, Hud::TIME,   Hud::LEVEL};
    EXPECT_EQ(hud.drawnLines, expected);
    EXPECT_STREQ(hud.text(Hud::HINT_1), "Use WASD, the cursor keys,");
    EXPECT_STREQ(hud.text(Hud::HINT_2), "a joystick or a gamepad to steer.");
    EXPECT_STREQ(hud.text(Hud::HINT_3), "Don't touch the terrain.");
    EXPECT_STREQ(hud.text(Hud::HINT_4), "Fly low for a speed boost.");
    EXPECT_STREQ(hud.text(Hud::HINT_5), "Press T to hide these hints.");
    EXPECT_STREQ(hud.text(Hud::LEVEL), "Level:1");
    EXPECT_STREQ(hud.text(Hud::TIME), "Time:0.000 / 50000.000");
    EXPECT_STREQ(hud.text(Hud::FPS), "");
    const int hintY[] = {280, 260, 210, 160, 110};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(hud.x(Line(Hud::HINT_1 + i)), 10);
        EXPECT_EQ(hud.y(Line(Hud::HINT_1 + i)), hintY[i]);
        EXPECT_EQ(hud.size(Line(Hud::HINT_1 + i)), 20);
    }
    EXPECT_EQ(hud.y(Hud::LEVEL), 560);
    EXPECT_EQ(hud.size(Hud::LEVEL), 30);
    EXPECT_EQ(hud.y(Hud::TIME), 10);
    EXPECT_EQ(hud.size(Hud::TIME), 30);
    EXPECT_EQ(hud.x(Hud::STATUS), 250);
    EXPECT_EQ(hud.y(Hud::STATUS), 570);
}

TEST_F(HudTest, TTogglesTheHintsOncePerPress) {
    Hud hud(false);
    hud.setUp();
    input.press(GLFW_KEY_T);
    pass(hud, 0.1);
    EXPECT_FALSE(gameState.showHints);
    EXPECT_FALSE(hud.wasDrawn(Hud::HINT_1));
    EXPECT_TRUE(hud.wasDrawn(Hud::TIME));
    pass(hud, 0.1);  // still held
    EXPECT_FALSE(hud.wasDrawn(Hud::HINT_5));
    input.release(GLFW_KEY_T);
    pass(hud, 0.1);
    EXPECT_FALSE(hud.wasDrawn(Hud::HINT_5));
    input.press(GLFW_KEY_T);
    pass(hud, 0.1);
    EXPECT_TRUE(gameState.showHints);
    EXPECT_TRUE(hud.wasDrawn(Hud::HINT_1));
    EXPECT_TRUE(hud.wasDrawn(Hud::HINT_5));
}

TEST_F(HudTest, FpsLineMovesTheTimeLineUp) {
    Hud hud(false);
    hud.setUp();
    gameState.showFps = true;
    pass(hud, 0.1);
    // Shown before the first report: an empty line.
    EXPECT_TRUE(hud.wasDrawn(Hud::FPS));
    EXPECT_STREQ(hud.text(Hud::FPS), "");
    EXPECT_EQ(hud.y(Hud::TIME), 40);
    hud.setFpsText(57, 0.0166667);
    EXPECT_STREQ(hud.text(Hud::FPS), "FPS:57 Frametime: 0.016667");
    EXPECT_EQ(hud.y(Hud::FPS), 10);
    gameState.showFps = false;
    pass(hud, 0.1);
    EXPECT_FALSE(hud.wasDrawn(Hud::FPS));
    EXPECT_EQ(hud.y(Hud::TIME), 10);
}

TEST_F(HudTest, TimeLineShowsTheCurrentLevelsBest) {
    Hud hud(false);
    hud.setUp();
    gameState.levelNumber = 3;
    gameState.raceTime = 12.34567;
    highscores[3] = 9.8765;
    hud.setTimeText();
    EXPECT_STREQ(hud.text(Hud::TIME), "Time:12.346 / 9.877");
    hud.setLevelText();
    EXPECT_STREQ(hud.text(Hud::LEVEL), "Level:3");
}

TEST_F(HudTest, StatusMessageLastsItsTimeOfFrames) {
    Hud hud(false);
    hud.setUp();
    std::snprintf(gameState.statusMessage, sizeof gameState.statusMessage, "Wireframe on");
    gameState.messageTime = 2.0;
    int shown = 0;
    for (int i = 0; i < 10; ++i) {
        pass(hud, 0.5);
        if (hud.wasDrawn(Hud::STATUS)) ++shown;
        EXPECT_EQ(hud.wasDrawn(Hud::STATUS), i < 4) << i;
    }
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(gameState.messageTime, 0.0);
    EXPECT_STREQ(hud.text(Hud::STATUS), "Wireframe on");

    // An uneven step: the last pass overshoots and is clamped to exactly 0.
    // How many of `passes` passes of `dt` show the status line.
    auto passesShowingStatus = [&](int passes, double dt) {
        int count = 0;
        for (int i = 0; i < passes; ++i) {
            pass(hud, dt);
            if (hud.wasDrawn(Hud::STATUS)) ++count;
        }
        return count;
    };
    gameState.messageTime = 2.0;
    EXPECT_EQ(passesShowingStatus(10, 0.3), 7);
    EXPECT_EQ(gameState.messageTime, 0.0);

    // A new message replaces the text and restarts the time.
    gameState.messageTime = 2.0;
    pass(hud, 1.5);
    std::snprintf(gameState.statusMessage, sizeof gameState.statusMessage, "Camera near");
    gameState.messageTime = 2.0;
    EXPECT_EQ(passesShowingStatus(5, 0.5), 4);
    EXPECT_STREQ(hud.text(Hud::STATUS), "Camera near");
}

TEST_F(HudTest, EndOfLevelLinesFollowTheWindowSize) {
    // The lines' heights from FINISHED down to RESTART.
    auto heights = [](const Hud& hud) {
        return std::vector<int>{hud.y(Hud::FINISHED), hud.y(Hud::BEST_TIME), hud.y(Hud::NEXT), hud.y(Hud::RESTART)};
    };
    {
        Hud hud(false);
        EXPECT_EQ(hud.x(Hud::FINISHED), 66);
        EXPECT_EQ(heights(hud), (std::vector<int>{200, 180, 160, 140}));
        EXPECT_EQ(hud.size(Hud::FINISHED), 30);
        EXPECT_EQ(hud.size(Hud::RESTART), 20);
    }
    gameSettings.width = 1280;
    gameSettings.height = 720;
    Hud hud(false);
    EXPECT_EQ(hud.x(Hud::NEXT), 106);
    EXPECT_EQ(heights(hud), (std::vector<int>{240, 216, 192, 168}));
    // Each term is truncated on its own: 601 / 2 - 5 * 601 / 30 = 300 - 100.
    gameSettings.width = 1023;
    gameSettings.height = 601;
    Hud odd(false);
    EXPECT_EQ(odd.x(Hud::FINISHED), 85);
    EXPECT_EQ(odd.y(Hud::FINISHED), 200);
    EXPECT_EQ(odd.y(Hud::RESTART), 300 - 160);
    // n * h must not overflow for the largest heights.
    gameSettings.height = INT_MAX;
    Hud huge(false);
    EXPECT_EQ(huge.y(Hud::FINISHED), INT_MAX / 2 - int(5LL * INT_MAX / 30));
    EXPECT_GT(huge.y(Hud::RESTART), 0);
}

TEST_F(HudTest, GaugeStaysClearOfTheOtherLinesAtEveryHeight) {
    // The gauge's widest text against every line it can share a frame with.
    auto overlaps = [](const Hud& hud, Line a, size_t aChars, Line b) {
        const size_t bChars = std::string(hud.text(b)).size();
        return hud.x(a) < hud.x(b) + int(bChars) * hud.size(b) && hud.x(b) < hud.x(a) + int(aChars) * hud.size(a) &&
               hud.y(a) < hud.y(b) + hud.size(b) && hud.y(b) < hud.y(a) + hud.size(a);
    };
    const size_t gaugeChars = std::string("Speed:999  Height:9999  BOOST").size();
    gameState.levelNumber = 10;
    gameState.showFps = true;  // the time line at its highest
    for (int height = 200; height <= 1200; ++height) {
        gameSettings.height = height;
        Hud hud(false);
        hud.setUp();
        hud.setTimeText();
        hud.setFpsText(100, 0.01);
        std::snprintf(gameState.statusMessage, sizeof gameState.statusMessage, "Frustrum-Culling disabled");
        hud.drawFinished(50000.0);
        hud.drawBestTime(50000.0);
        hud.drawNext(true, true);
        hud.drawRestart(true);
        for (int line = 0; line < Hud::GAUGE; ++line) {
            ASSERT_FALSE(overlaps(hud, Hud::GAUGE, gaugeChars, Line(line))) << height << " " << hud.text(Line(line));
        }
    }
}

TEST_F(HudTest, EndOfLevelTexts) {
    Hud hud(false);
    hud.drawFinished(42.12345);
    EXPECT_STREQ(hud.text(Hud::FINISHED), "Finished in 42.123 s");
    hud.drawBestTime(0.0);
    EXPECT_STREQ(hud.text(Hud::BEST_TIME), "Highscore: 0.000 s");
    hud.drawNext(false, false);
    EXPECT_STREQ(hud.text(Hud::NEXT), "SPACE = next level");
    hud.drawNext(false, true);
    EXPECT_STREQ(hud.text(Hud::NEXT), "SPACE = restart game");
    hud.drawNext(true, false);
    EXPECT_STREQ(hud.text(Hud::NEXT), "SPACE or Joy1 = next level");
    hud.drawNext(true, true);
    EXPECT_STREQ(hud.text(Hud::NEXT), "SPACE or Joy1 = restart game");
    hud.drawRestart(false);
    EXPECT_STREQ(hud.text(Hud::RESTART), "ENTER = restart level");
    hud.drawRestart(true);
    EXPECT_STREQ(hud.text(Hud::RESTART), "ENTER or Joy2 = restart level");
    EXPECT_EQ(hud.drawnLines.size(), 8u);
}
