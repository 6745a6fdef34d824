#include "app/Highscores.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/GameState.h"
#include "app/SafeFile.h"

std::map<int, double> highscores;

namespace {

const char* const HIGHSCORE_FILE = "highscores.ini";

// Reads "level=time" the way sscanf("%i=%lf") does (blanks before either
// number, decimal, 0x or 0-prefixed level; anything after the time ignored),
// but keeps only a level that fits an int and a finite time above zero: any
// other could never be beaten nor written back sensibly.
bool parseHighscoreLine(const std::string& line, int& level, double& time) {
    const char* text = line.c_str();
    char* end = nullptr;
    errno = 0;
    const long parsedLevel = std::strtol(text, &end, 0);
    if (end == text || errno == ERANGE || parsedLevel < INT_MIN || parsedLevel > INT_MAX) return false;
    if (*end != '=') return false;
    const char* timeText = end + 1;
    const double parsedTime = std::strtod(timeText, &end);
    if (end == timeText || !std::isfinite(parsedTime) || !(parsedTime > 0.0)) return false;
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
    std::ifstream file(path);
    if (!file) {
        std::printf("highscore.ini not found\n");
        return;
    }
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
