#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "world/LevelCatalogue.h"

class KeyBindings;

// What the level board shows and where: one row per catalogue entry with
// its best time against par and whether a ghost exists, the selection, and
// the scrolling window onto a list longer than the screen. Laid out in the
// 800 x 600 text screen (origin bottom-left), as every screen text is.
class LevelBoard {
public:
    struct Row {
        int level = 0;
        std::string text;
        bool playable = true;
        bool underPar = false;  // a best time at or under par
        bool ghost = false;
    };
    struct Line {
        std::string text;
        int x = 0, y = 0, size = 0;
    };

    static constexpr int LEFT = 16;
    static constexpr int ROW_SIZE = 16;
    static constexpr int ROW_STEP = 24;
    static constexpr int FIRST_ROW_Y = 478;
    static constexpr int VISIBLE_ROWS = 12;
    static constexpr int FOOTER_SIZE = 16;
    // Characters of a footer line at FOOTER_SIZE between the margins.
    static constexpr int FOOTER_WIDTH = (800 - 2 * LEFT) / FOOTER_SIZE;

    // One row per entry, in catalogue order; `best` holds best times by level
    // (a time of NO_HIGHSCORE or none: no best), `ghosts` the levels with a
    // ghost. The selection stays on the level it was on, if still listed.
    void fill(const LevelCatalogue& catalogue, const std::map<int, double>& best, const std::set<int>& ghosts);
    // Selects the row of `level`, or the first row when it is not listed.
    void select(int level);
    // Moves the selection by `rows`, wrapping at both ends; the window
    // follows it.
    void move(int rows);
    // A click on row `index`: selects it, or, when it was selected already,
    // returns true (fly it).
    bool click(int index);

    const std::vector<Row>& rows() const { return list; }
    int selected() const { return selection; }
    // The selected row's level, 0 when there are no rows.
    int selectedLevel() const;
    bool selectedPlayable() const;
    int firstVisible() const { return first; }
    // The text y of row `index` (its cell's bottom edge), visible or not.
    int rowY(int index) const { return FIRST_ROW_Y - (index - first) * ROW_STEP; }
    // The visible row under the text-screen point (x, y), or -1.
    int rowAt(double x, double y) const;

    // Every text line of the board, title to footer, the visible rows among
    // them; the footer names the keys of each action in `keys`.
    std::vector<Line> lines(const KeyBindings& keys) const;
    // The band behind the selected row, in text-screen units: x0, y0, x1, y1.
    void selectionBand(int band[4]) const;
    // The footer: the keys of every action, wrapped at `width` characters.
    static std::vector<std::string> footer(const KeyBindings& keys, int width);

private:
    void follow();

    std::vector<Row> list;
    int selection = 0;
    int first = 0;
};
