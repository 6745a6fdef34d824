#include "app/Highscores.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/GameState.h"

std::map<int, double> highscores;

namespace {

const char* const HIGHSCORE_FILE = "highscores.ini";

// Writes all of `content` to `fd`, riding out short writes and signals.
bool writeAll(int fd, const std::string& content) {
    const char* data = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

bool writeReplacing(const std::string& path, const std::string& content) {
    // The temporary file sits in the same folder so the rename cannot cross
    // file systems and replaces the old file in one step.
    std::string temporary = path + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return false;
    bool ok = writeAll(fd, content);
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
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
    std::string line;
    while (std::getline(file, line)) {
        int level = 0;
        double time = 0.0;
        if (std::sscanf(line.c_str(), "%i=%lf", &level, &time) != 2) continue;
        // A NaN best time could never be beaten nor shown sensibly.
        if (std::isnan(time)) continue;
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
    if (writeReplacing(path, formatHighscores())) return true;
    std::printf("highscore.ini could not be written\n");
    std::fflush(stdout);
    return false;
}
