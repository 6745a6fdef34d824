#include "app/CourseTimes.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/Highscores.h"
#include "core/SafeFile.h"

namespace {

constexpr size_t KEY_DIGITS = 16;

bool isKey(const std::string& text) {
    if (text.size() != KEY_DIGITS) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace

CourseTimes courseTimes;

std::string CourseTimes::keyOf(const std::vector<unsigned char>& mapBytes) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : mapBytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    char key[KEY_DIGITS + 1];
    std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(hash));
    return key;
}

bool CourseTimes::keyOfFile(const std::string& mapPath, std::string& key) {
    std::vector<unsigned char> bytes;
    if (readRegularFile(mapPath, bytes) != FileRead::Done) return false;
    key = keyOf(bytes);
    return true;
}

bool CourseTimes::load() {
    std::string text;
    if (!readTextFile(path, text)) return false;
    std::istringstream in(text);
    read(in);
    return true;
}

void CourseTimes::read(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos || !isKey(line.substr(0, equals))) continue;
        const char* timeText = line.c_str() + equals + 1;
        char* end = nullptr;
        const double time = std::strtod(timeText, &end);
        if (end == timeText || !std::isfinite(time)) continue;
        times[line.substr(0, equals)] = time;
    }
}

std::string CourseTimes::format() const {
    std::ostringstream out;
    for (const auto& entry : times) out << entry.first << '=' << entry.second << '\n';
    return out.str();
}

bool CourseTimes::save() const {
    if (replaceFileContent(path, format())) return true;
    std::printf("%s could not be written\n", path.c_str());
    std::fflush(stdout);
    return false;
}

double CourseTimes::best(const std::string& key) const {
    const auto found = times.find(key);
    return found == times.end() ? NO_HIGHSCORE : found->second;
}

bool CourseTimes::record(const std::string& key, double time) {
    if (time == 0.0 || !(best(key) > time)) return false;
    times[key] = time;
    recorded = true;
    return true;
}
