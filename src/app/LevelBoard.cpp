#include "app/LevelBoard.h"

#include <algorithm>
#include <cstdio>

#include "app/Highscores.h"
#include "core/KeyBindings.h"

namespace {

// Characters of a row: marker, number, name, best, par, difference, marks.
constexpr int ROW_CHARS = 47;
constexpr int NAME_CHARS = 16;

const char* const actionWords[KeyBindings::ACTION_COUNT] = {
    "nose down", "nose up", "roll left", "roll right", "flap", "restart", "next level", "pause", "board"};

std::string seconds(double value, const char* format = "%.3f") {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string rowText(const LevelCatalogue::Entry& entry, bool hasBest, double best, bool underPar, bool ghost) {
    char text[256];
    const std::string name = entry.name.substr(0, NAME_CHARS);
    // Own courses go by their names; their numbers are the game's own.
    char number[8] = "";
    if (entry.kind == LevelCatalogue::Kind::Shipped) std::snprintf(number, sizeof number, "%2d", entry.number);
    if (!entry.playable) {
        std::snprintf(text, sizeof text, " %2s %-*s %.*s", number, NAME_CHARS, name.c_str(),
                      ROW_CHARS - NAME_CHARS - 5, entry.unplayableReason.c_str());
        return text;
    }
    const std::string bestText = hasBest ? seconds(best) : "-";
    const std::string parText = entry.hasPar ? seconds(entry.par, "%.2f") : entry.parPending ? "..." : "-";
    const std::string difference = hasBest && entry.hasPar ? seconds(best - entry.par, "%+.3f") : "-";
    std::snprintf(text, sizeof text, " %2s %-*s %7s %6s %7s %c %c", number, NAME_CHARS, name.c_str(),
                  bestText.c_str(), parText.c_str(), difference.c_str(), underPar ? '*' : ' ', ghost ? 'G' : ' ');
    return text;
}

}  // namespace

void LevelBoard::fill(const LevelCatalogue& catalogue, const std::map<int, double>& best,
                      const std::set<int>& ghosts) {
    const int level = selectedLevel();
    list.clear();
    for (const LevelCatalogue::Entry& entry : catalogue.entries()) {
        const auto found = best.find(entry.number);
        const bool hasBest = found != best.end() && found->second < NO_HIGHSCORE;
        const double time = hasBest ? found->second : 0.0;
        Row row;
        row.level = entry.number;
        row.playable = entry.playable;
        row.underPar = entry.playable && hasBest && entry.hasPar && time <= entry.par;
        row.ghost = entry.playable && ghosts.count(entry.number) != 0;
        row.text = rowText(entry, hasBest, time, row.underPar, row.ghost);
        list.push_back(row);
    }
    select(level);
}

void LevelBoard::select(int level) {
    selection = 0;
    for (size_t k = 0; k < list.size(); ++k) {
        if (list[k].level == level) selection = int(k);
    }
    follow();
}

void LevelBoard::move(int rows) {
    const int count = int(list.size());
    if (count == 0) return;
    selection = ((selection + rows) % count + count) % count;
    follow();
}

bool LevelBoard::click(int index) {
    if (index < 0 || index >= int(list.size())) return false;
    if (index == selection) return true;
    selection = index;
    follow();
    return false;
}

int LevelBoard::selectedLevel() const { return list.empty() ? 0 : list[size_t(selection)].level; }

bool LevelBoard::selectedPlayable() const { return !list.empty() && list[size_t(selection)].playable; }

// The window keeps the selection in view, and shows as many rows as fit.
void LevelBoard::follow() {
    if (selection < first) first = selection;
    if (selection >= first + VISIBLE_ROWS) first = selection - VISIBLE_ROWS + 1;
    const int lastFirst = std::max(0, int(list.size()) - VISIBLE_ROWS);
    first = std::min(std::max(first, 0), lastFirst);
}

int LevelBoard::rowAt(double x, double y) const {
    if (x < LEFT || x >= LEFT + ROW_CHARS * ROW_SIZE) return -1;
    const int gap = (ROW_STEP - ROW_SIZE) / 2;
    for (int k = first; k < std::min(int(list.size()), first + VISIBLE_ROWS); ++k) {
        if (y >= rowY(k) - gap && y < rowY(k) - gap + ROW_STEP) return k;
    }
    return -1;
}

void LevelBoard::selectionBand(int band[4]) const {
    const int gap = (ROW_STEP - ROW_SIZE) / 2;
    band[0] = LEFT - gap;
    band[1] = rowY(selection) - gap;
    band[2] = LEFT + ROW_CHARS * ROW_SIZE + gap;
    band[3] = rowY(selection) - gap + ROW_STEP;
}

std::vector<std::string> LevelBoard::footer(const KeyBindings& keys, int width) {
    std::vector<std::string> out(1, "Keys:");
    for (int a = 0; a < KeyBindings::ACTION_COUNT; ++a) {
        std::string item = actionWords[a];
        const char* separator = " ";
        for (int key : keys.keys(KeyBindings::Action(a))) {
            item += separator + KeyBindings::keyName(key);
            separator = "/";
        }
        std::string& line = out.back();
        if (line.size() + 2 + item.size() <= size_t(width)) {
            line += "  " + item;
        } else {
            out.push_back(item);
        }
    }
    return out;
}

std::vector<LevelBoard::Line> LevelBoard::lines(const KeyBindings& keys) const {
    std::vector<Line> out;
    out.push_back({"Choose a level", LEFT, 540, 30});
    out.push_back({"* par  G ghost", 800 - LEFT - 14 * ROW_SIZE, 548, ROW_SIZE});
    char header[128];
    std::snprintf(header, sizeof header, " %2s %-*s %7s %6s %7s", "#", NAME_CHARS, "Level", "Best", "Par", "+/-");
    const int headerY = FIRST_ROW_Y + ROW_STEP + 4;
    out.push_back({header, LEFT, headerY, ROW_SIZE});
    // Arrows past the rows' right end where the list goes on.
    const int arrowX = LEFT + ROW_CHARS * ROW_SIZE;
    if (first > 0) out.push_back({"^", arrowX, headerY, ROW_SIZE});
    const int end = std::min(int(list.size()), first + VISIBLE_ROWS);
    for (int k = first; k < end; ++k) {
        std::string text = list[size_t(k)].text;
        if (k == selection) text[0] = '>';
        out.push_back({text, LEFT, rowY(k), ROW_SIZE});
    }
    if (end < int(list.size())) out.push_back({"v", arrowX, rowY(end - 1), ROW_SIZE});

    const std::vector<int>& board = keys.keys(KeyBindings::BOARD);
    const std::string close = board.empty() ? "" : "  " + KeyBindings::keyName(board.front()) + " back";
    int y = 160;
    out.push_back({"UP/DOWN choose  ENTER fly" + close, LEFT, y, FOOTER_SIZE});
    y -= ROW_STEP + 4;
    for (const std::string& line : footer(keys, FOOTER_WIDTH)) {
        out.push_back({line, LEFT, y, FOOTER_SIZE});
        y -= ROW_STEP;
    }
    return out;
}
