// highscores.ini: read, format, read back. Every entry read survives the
// round trip, and no time is anything but finite.
#include <cmath>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>

#include "FuzzCheck.h"
#include "app/Highscores.h"

namespace {

void checkTimes() {
    for (const auto& entry : highscores) FUZZ_CHECK(std::isfinite(entry.second));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceConsole();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    highscores.clear();
    presetHighscores();
    std::istringstream file(std::string(reinterpret_cast<const char*>(data), size));
    readHighscores(file);
    checkTimes();
    const std::map<int, double> read = highscores;

    std::istringstream written(formatHighscores());
    highscores.clear();
    readHighscores(written);
    checkTimes();
    FUZZ_CHECK(highscores.size() == read.size());
    for (const auto& entry : read) {
        auto again = highscores.find(entry.first);
        FUZZ_CHECK(again != highscores.end());
        // The file keeps six significant digits.
        FUZZ_CHECK(std::fabs(again->second - entry.second) <= 1e-5 * std::fabs(entry.second));
    }
    return 0;
}
