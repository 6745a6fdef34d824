#include "app/Highscores.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

bool syncAndClose(int fd, bool ok) {
    ok = fsync(fd) == 0 && ok;
    return close(fd) == 0 && ok;
}

// Kind of the write that failed: the temporary file could not be made (the
// folder is read-only, say), or a later step went wrong.
enum class Replace { Done, NoTemporary, Failed };

Replace writeReplacing(const std::string& path, const std::string& content, const struct stat* old) {
    // The temporary file sits in the same folder so the rename cannot cross
    // file systems and replaces the old file in one step.
    std::string temporary = path + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return Replace::NoTemporary;
    bool ok = true;
    // The replacement keeps the old file's permissions.
    if (old) ok = fchmod(fd, old->st_mode & 07777) == 0;
    ok = writeAll(fd, content) && ok;
    ok = syncAndClose(fd, ok);
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok ? Replace::Done : Replace::Failed;
}

bool writeInPlace(const std::string& path, const std::string& content) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return false;
    bool ok = writeAll(fd, content);
    return syncAndClose(fd, ok);
}

bool writeHighscoreFile(const std::string& path, const std::string& content) {
    std::string target = path;
    struct stat link;
    if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // The link stays; the file it points to gets the new content. A
        // dangling link is written through as it is.
        char* resolved = realpath(path.c_str(), nullptr);
        if (!resolved) return writeInPlace(path, content);
        target = resolved;
        std::free(resolved);
    }
    struct stat old;
    const bool exists = stat(target.c_str(), &old) == 0;
    Replace result = writeReplacing(target, content, exists ? &old : nullptr);
    // An installed game's folder is often read-only while the file itself
    // may be written: then it is rewritten where it is.
    if (result == Replace::NoTemporary) return writeInPlace(target, content);
    return result == Replace::Done;
}

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
    if (writeHighscoreFile(path, formatHighscores())) return true;
    std::printf("highscore.ini could not be written\n");
    std::fflush(stdout);
    return false;
}
