#include "world/LevelCatalogue.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "core/SafeFile.h"
#include "world/LevelNames.h"

LevelCatalogue LevelCatalogue::shipped(const std::string& parPath) {
    std::map<int, double> par;
    readParTimes(parPath, par);
    LevelCatalogue catalogue;
    for (int level = 1; level <= LEVEL_COUNT; ++level) {
        Entry entry;
        entry.number = level;
        entry.name = LEVEL_NAMES[level - 1];
        entry.mapPath = "Maps/map" + std::to_string(level) + ".png";
        const auto found = par.find(level);
        entry.hasPar = found != par.end();
        if (entry.hasPar) entry.par = found->second;
        catalogue.add(entry);
    }
    return catalogue;
}

const LevelCatalogue::Entry* LevelCatalogue::find(int number) const {
    for (const Entry& entry : list) {
        if (entry.number == number) return &entry;
    }
    return nullptr;
}

std::map<int, double> LevelCatalogue::parseParTimes(const std::string& text) {
    std::map<int, double> times;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const char* start = line.c_str();
        char* end = nullptr;
        const long level = std::strtol(start, &end, 10);
        if (end == start || *end != '=' || level < 1 || level > 1000000) continue;
        const char* value = end + 1;
        const double seconds = std::strtod(value, &end);
        if (end == value || !std::isfinite(seconds) || seconds <= 0.0) continue;
        times[int(level)] = seconds;
    }
    return times;
}

bool LevelCatalogue::readParTimes(const std::string& path, std::map<int, double>& times) {
    std::string text;
    if (!readTextFile(path, text)) return false;
    times = parseParTimes(text);
    return true;
}
