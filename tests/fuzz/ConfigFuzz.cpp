// config.ini lines: parsing never misbehaves, and the fitted window size is
// never above the limits (one below 1 is left for start-up to refuse).
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzCheck.h"
#include "core/GameSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    GameSettings settings;
    std::string line;
    while (std::getline(in, line)) applyConfigLine(settings, line);
    fitWindowSize(settings, 16384, 8192);
    FUZZ_CHECK(settings.width <= 16384);
    FUZZ_CHECK(settings.height <= 8192);
    return 0;
}
