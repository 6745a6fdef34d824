#include "app/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

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

}  // namespace

bool replaceFileContent(const std::string& path, const std::string& content) {
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
