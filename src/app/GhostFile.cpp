#include "app/GhostFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "player/GhostTrack.h"

namespace {

// Larger than any valid file (an hour of samples is about 3 MB).
constexpr std::streamoff MAX_FILE_BYTES = 8 << 20;

std::string systemError() { return std::strerror(errno); }

bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
    const unsigned char* data = bytes.data();
    size_t left = bytes.size();
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

}  // namespace

std::string ghostFilePath(const std::string& folder, int level) {
    return folder + "/level" + std::to_string(level) + ".ghost";
}

bool readGhostFile(const std::string& folder, int level, GhostTrack& track, std::string& why) {
    const std::string path = ghostFilePath(folder, level);
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        why = "not found";
        return false;
    }
    const std::streamoff size = file.tellg();
    if (size < 0 || size > MAX_FILE_BYTES) {
        why = size < 0 ? "unreadable" : "too large";
        return false;
    }
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    file.seekg(0);
    if (!bytes.empty() && !file.read(reinterpret_cast<char*>(bytes.data()), size)) {
        why = "unreadable";
        return false;
    }
    GhostTrack read;
    if (!parseGhost(bytes, read, why)) return false;
    if (read.level != level) {
        why = "recorded on level " + std::to_string(read.level);
        return false;
    }
    track = std::move(read);
    return true;
}

bool writeGhostFile(const std::string& folder, const GhostTrack& track, std::string& why) {
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        why = "cannot make " + folder + ": " + systemError();
        return false;
    }
    const std::string path = ghostFilePath(folder, track.level);
    // In the same folder, so the rename replaces the old file in one step.
    const std::string temporary = path + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        why = "cannot create " + temporary + ": " + systemError();
        return false;
    }
    bool ok = writeAll(fd, encodeGhost(track));
    if (!ok) why = "cannot write " + temporary + ": " + systemError();
    if (ok && fsync(fd) != 0) {
        why = "cannot sync " + temporary + ": " + systemError();
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        why = "cannot close " + temporary + ": " + systemError();
        ok = false;
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        why = "cannot rename to " + path + ": " + systemError();
        ok = false;
    }
    if (!ok) unlink(temporary.c_str());
    return ok;
}
