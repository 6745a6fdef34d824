#include "app/Highscores.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "core/GameState.h"
#include "core/SafeFile.h"

std::map<int, double> highscores;

namespace {

const char* const HIGHSCORE_FILE = "highscores.ini";

// Reads "level=time" the way sscanf("%i=%lf") does (blanks before either
// number, decimal, 0x or 0-prefixed level; anything after the time ignored),
// but keeps only a level that fits an int and a finite time: an infinite or
// NaN time could not be written back as it was read. A time of zero or below
// is a time like any other, and one too small for a double reads as scanf
// reads it, as 0.
bool parseHighscoreLine(const std::string& line, int& level, double& time) {
    const char* text = line.c_str();
    char* end = nullptr;
    errno = 0;
    const long parsedLevel = std::strtol(text, &end, 0);
    if (end == text || errno == ERANGE || parsedLevel < INT_MIN || parsedLevel > INT_MAX) return false;
    if (*end != '=') return false;
    const char* timeText = end + 1;
    const double parsedTime = std::strtod(timeText, &end);
    if (end == timeText || !std::isfinite(parsedTime)) return false;
    level = static_cast<int>(parsedLevel);
    time = parsedTime;
    return true;
}

}  // namespace

void presetHighscores() {
    for (int level = 1; level <= LEVEL_COUNT; ++level) highscores[level] = NO_HIGHSCORE;
}

void loadHighscores() { loadHighscores(HIGHSCORE_FILE); }

void loadHighscores(const std::string& path) {
    std::string text;
    if (!readTextFile(path, text)) {
        std::printf("highscore.ini not found\n");
        return;
    }
    std::istringstream file(text);
    readHighscores(file);
}

void readHighscores(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) {
        int level = 0;
        double time = 0.0;
        if (!parseHighscoreLine(line, level, time)) continue;
        highscores[level] = time;
        std::printf("Map %i: %f\n", level, time);
    }
}

std::string formatHighscores() {
    std::ostringstream out;
    for (const auto& entry : highscores) out << entry.first << '=' << entry.second << '\n';
    return out.str();
}

bool saveHighscores() { return saveHighscores(HIGHSCORE_FILE); }

bool saveHighscores(const std::string& path) {
    if (replaceFileContent(path, formatHighscores())) return true;
    std::printf("highscore.ini could not be written\n");
    std::fflush(stdout);
    return false;
}
