#include "app/LevelBoard.h"

#include <gtest/gtest.h>

#include "app/Highscores.h"
#include "core/KeyBindings.h"

namespace {

// A catalogue of `count` playable levels, each with par 20 s, named "Course n".
LevelCatalogue courses(int count) {
    LevelCatalogue catalogue;
    for (int level = 1; level <= count; ++level) {
        LevelCatalogue::Entry entry;
        entry.number = level;
        entry.name = "Course " + std::to_string(level);
        entry.par = 20.0;
        entry.hasPar = true;
        catalogue.add(entry);
    }
    return catalogue;
}

bool fitsTheScreen(const LevelBoard::Line& line) {
    return line.x >= 0 && line.y >= 0 && line.x + int(line.text.size()) * line.size <= 800 &&
           line.y + line.size <= 600;
}

}  // namespace

TEST(LevelBoard, RowsShowBestParDifferenceAndMarks) {
    LevelCatalogue catalogue = courses(4);
    LevelCatalogue::Entry own;
    own.number = 5;
    own.name = "A very long own course name";
    own.kind = LevelCatalogue::Kind::Own;
    own.playable = false;
    own.unplayableReason = "no goal gate";
    catalogue.add(own);
    own.number = 6;
    own.name = "flat";
    own.playable = true;
    own.parPending = true;
    catalogue.add(own);
    // Under par, exactly par, over par, none recorded.
    const std::map<int, double> best = {{1, 18.5}, {2, 20.0}, {3, 21.25}, {4, NO_HIGHSCORE}};
    LevelBoard board;
    board.fill(catalogue, best, {2, 5});

    const std::vector<LevelBoard::Row>& rows = board.rows();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_TRUE(rows[0].underPar);
    EXPECT_TRUE(rows[1].underPar);
    EXPECT_FALSE(rows[2].underPar);
    EXPECT_FALSE(rows[3].underPar);
    EXPECT_EQ(rows[0].text, "  1 Course 1          18.500  20.00  -1.500 *  ");
    EXPECT_EQ(rows[1].text, "  2 Course 2          20.000  20.00  +0.000 * G");
    EXPECT_EQ(rows[2].text, "  3 Course 3          21.250  20.00  +1.250    ");
    EXPECT_EQ(rows[3].text, "  4 Course 4               -  20.00       -    ");
    // An own course goes by its name alone; an unplayable one says why,
    // under a name cut to its column, and one still being flown for its
    // par shows dots.
    EXPECT_FALSE(rows[4].playable);
    EXPECT_FALSE(rows[4].ghost);
    EXPECT_EQ(rows[4].text, "    A very long own  no goal gate");
    EXPECT_EQ(rows[5].text, "    flat                   -    ...       -    ");
}

TEST(LevelBoard, SelectionStartsOnTheLevelAndWrapsBothWays) {
    LevelBoard board;
    board.fill(courses(10), {}, {});
    board.select(7);
    EXPECT_EQ(board.selectedLevel(), 7);
    board.move(3);
    EXPECT_EQ(board.selectedLevel(), 10);
    board.move(1);
    EXPECT_EQ(board.selectedLevel(), 1);
    board.move(-1);
    EXPECT_EQ(board.selectedLevel(), 10);
    board.select(42);  // not listed
    EXPECT_EQ(board.selectedLevel(), 1);
    // A refill keeps the selection on its level.
    board.select(4);
    board.fill(courses(10), {{4, 1.0}}, {});
    EXPECT_EQ(board.selectedLevel(), 4);
}

TEST(LevelBoard, LongListsScrollWithTheSelectionAndEveryLineFits) {
    LevelBoard board;
    board.fill(courses(30), {}, {});
    const KeyBindings keys;
    for (int step = 0; step < 61; ++step) {
        const int index = board.selected();
        ASSERT_GE(index, board.firstVisible());
        ASSERT_LT(index, board.firstVisible() + LevelBoard::VISIBLE_ROWS);
        const std::vector<LevelBoard::Line> lines = board.lines(keys);
        int rowLines = 0;
        for (const LevelBoard::Line& line : lines) {
            EXPECT_TRUE(fitsTheScreen(line)) << line.text;
            if (line.text.find("Course") != std::string::npos) ++rowLines;
        }
        EXPECT_EQ(rowLines, LevelBoard::VISIBLE_ROWS);
        board.move(step < 40 ? 1 : -3);
    }
}

TEST(LevelBoard, ClickSelectsARowAndASecondClickFliesIt) {
    LevelBoard board;
    board.fill(courses(20), {}, {});
    board.select(15);
    const int row = board.selected() - 2;
    const double x = LevelBoard::LEFT + 40, y = board.rowY(row) + LevelBoard::ROW_SIZE / 2;
    ASSERT_EQ(board.rowAt(x, y), row);
    EXPECT_FALSE(board.click(board.rowAt(x, y)));
    EXPECT_EQ(board.selected(), row);
    EXPECT_TRUE(board.click(board.rowAt(x, y)));
    // Between the header and the footer only rows answer; beside them nothing.
    EXPECT_EQ(board.rowAt(x, 590), -1);
    EXPECT_EQ(board.rowAt(790, y), -1);
    EXPECT_EQ(board.rowAt(x, board.rowY(board.firstVisible() + LevelBoard::VISIBLE_ROWS) + 8), -1);
}

TEST(LevelBoard, FooterNamesTheCurrentKeysOfEveryAction) {
    KeyBindings keys;
    std::vector<std::string> problems;
    keys.parse("NOSE_UP=KP_2 J\nBOARD=B\n", problems);
    const std::vector<std::string> footer = LevelBoard::footer(keys, LevelBoard::FOOTER_WIDTH);
    std::string all;
    for (const std::string& line : footer) {
        EXPECT_LE(line.size(), size_t(LevelBoard::FOOTER_WIDTH)) << line;
        all += line + "  ";
    }
    for (const char* item : {"nose down W/UP", "nose up KP_2/J", "roll left A/LEFT", "roll right D/RIGHT",
                             "flap SPACE", "restart ENTER", "next level SPACE", "pause P", "board B"}) {
        EXPECT_NE(all.find(std::string(item) + "  "), std::string::npos) << item << " in " << all;
    }
}
