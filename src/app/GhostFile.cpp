#include "app/GhostFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/SafeFile.h"
#include "player/GhostTrack.h"

namespace {

// Larger than any valid file (an hour of samples is about 3 MB).
constexpr std::uint64_t MAX_FILE_BYTES = 8 << 20;

std::string systemError() { return std::strerror(errno); }

}  // namespace

std::string ghostFilePath(const std::string& folder, int level) {
    return folder + "/level" + std::to_string(level) + ".ghost";
}


bool readGhostFile(const std::string& folder, int level, GhostTrack& track, std::string& why) {
    return readGhostFileNamed(folder, "level" + std::to_string(level) + ".ghost", level, track, why);
}

bool readGhostFileNamed(const std::string& folder, const std::string& name, int level, GhostTrack& track,
                        std::string& why) {
    const std::string path = folder + "/" + name;
    std::vector<unsigned char> bytes;
    const FileRead result = readRegularFile(path, bytes, MAX_FILE_BYTES);
    if (result != FileRead::Done) {
        why = result == FileRead::CannotOpen && errno == ENOENT ? "not found" : fileReadError(result);
        return false;
    }
    GhostTrack read;
    if (!parseGhost(bytes, read, why)) return false;
    if (level != 0 && read.level != level) {
        why = "recorded on level " + std::to_string(read.level);
        return false;
    }
    track = std::move(read);
    return true;
}

bool writeGhostFile(const std::string& folder, const GhostTrack& track, std::string& why) {
    return writeGhostFileNamed(folder, "level" + std::to_string(track.level) + ".ghost", track, why);
}

bool writeGhostFileNamed(const std::string& folder, const std::string& name, const GhostTrack& track,
                         std::string& why) {
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        why = "cannot make " + folder + ": " + systemError();
        return false;
    }
    const std::string path = folder + "/" + name;
    const std::vector<unsigned char> bytes = encodeGhost(track);
    if (!replaceFileContent(path, std::string(bytes.begin(), bytes.end()))) {
        why = "cannot write " + path + ": " + systemError();
        return false;
    }
    return true;
}
