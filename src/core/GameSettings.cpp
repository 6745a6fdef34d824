#include "core/GameSettings.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "core/SafeFile.h"

GameSettings gameSettings;

namespace {

// Reads an integer the way scanf's %i does (blanks, sign, decimal, 0x hex or
// leading-0 octal; trailing characters ignored), but saturates instead of
// overflowing on absurd values.
bool parseInteger(const char* text, int* value) {
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text, &end, 0);
    if (end == text) return false;
    if (errno == ERANGE || parsed > INT_MAX) parsed = parsed < 0 ? INT_MIN : INT_MAX;
    if (parsed < INT_MIN) parsed = INT_MIN;
    *value = static_cast<int>(parsed);
    return true;
}

bool valueAfterKey(const std::string& line, const char* key, int* value) {
    std::string prefix = std::string(key) + "=";
    if (line.compare(0, prefix.size(), prefix) != 0) return false;
    return parseInteger(line.c_str() + prefix.size(), value);
}

}  // namespace

void applyConfigLine(GameSettings& settings, const std::string& line) {
    int value = 0;
    if (valueAfterKey(line, "WIDTH", &value)) {
        settings.width = value;
    } else if (valueAfterKey(line, "HEIGHT", &value)) {
        settings.height = value;
    } else if (valueAfterKey(line, "REFRESH_RATE", &value)) {
        settings.refreshRate = value;
    } else if (valueAfterKey(line, "FULLSCREEN", &value)) {
        settings.fullscreen = value != 0;
    } else if (valueAfterKey(line, "SOUND_VOLUME", &value)) {
        settings.soundVolume = std::clamp(value, 0, 100);
    }
}

bool fitWindowSize(GameSettings& settings, int maxWidth, int maxHeight) {
    auto fit = [](int size, int limit) { return limit > 0 && size > limit ? limit : size; };
    const int width = fit(settings.width, maxWidth);
    const int height = fit(settings.height, maxHeight);
    const bool changed = width != settings.width || height != settings.height;
    settings.width = width;
    settings.height = height;
    return changed;
}

void readConfig(const std::string& path) {
    gameSettings = GameSettings{};
    std::string text;
    if (!readTextFile(path, text)) {
        std::printf("config.ini not found\n");
        return;
    }
    std::istringstream file(text);
    std::string line;
    while (std::getline(file, line)) applyConfigLine(gameSettings, line);
    std::printf("WIDTH=%i\nHEIGHT=%i\nREFRESH_RATE=%i\nFULLSCREEN=%s\n", gameSettings.width,
                gameSettings.height, gameSettings.refreshRate, gameSettings.fullscreen ? "true" : "false");
}

void readConfig() { readConfig("config.ini"); }
