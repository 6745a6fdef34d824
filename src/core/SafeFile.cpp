#include "core/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    // Non-blocking, so that a FIFO put in the file's place fails at once.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = writeAll(fd, content);
    return syncAndClose(fd, ok);
}

// Whether the existing file may be written. Root could write any file and
// access() says so; a mode without any write permission is the player's way
// of keeping a file as it is, so it binds root as well.
bool mayWrite(const std::string& path, const struct stat& info) {
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// Opens `path` for reading when it is a regular file. Looked at first, so a
// FIFO or a device is never opened at all; the open does not wait either, in
// case one was put there since, and fstat judges what was opened.
int openRegular(const std::string& path, FileRead& failure, struct stat& info) {
    if (stat(path.c_str(), &info) != 0) {
        failure = FileRead::CannotOpen;
        return -1;
    }
    int fd = -1;
    if (S_ISREG(info.st_mode)) {
        do {
            fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            failure = FileRead::CannotOpen;
            return -1;
        }
    }
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) close(fd);
        failure = FileRead::NotRegular;
        return -1;
    }
    // A regular file ignores the flag, but a stream made on it must not see it.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

FileRead readRegularFile(const std::string& path, std::vector<unsigned char>& bytes, std::uint64_t maxBytes,
                         std::uint64_t* size) {
    bytes.clear();
    FileRead failure = FileRead::Done;
    struct stat info;
    const int fd = openRegular(path, failure, info);
    if (fd < 0) return failure;
    const std::uint64_t known = static_cast<std::uint64_t>(info.st_size);
    if (size) *size = known;
    if (known > maxBytes) {
        close(fd);
        return FileRead::TooLarge;
    }
    bytes.reserve(known);
    // Read to the end rather than to the size seen: the file may be growing.
    unsigned char buffer[1 << 16];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int error = errno;
            close(fd);
            bytes.clear();
            errno = error;
            return FileRead::CannotRead;
        }
        if (got == 0) break;
        if (bytes.size() + static_cast<std::uint64_t>(got) > maxBytes) {
            if (size) *size = bytes.size() + static_cast<std::uint64_t>(got);
            close(fd);
            bytes.clear();
            return FileRead::TooLarge;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    close(fd);
    return FileRead::Done;
}

bool readTextFile(const std::string& path, std::string& text) {
    std::vector<unsigned char> bytes;
    if (readRegularFile(path, bytes) != FileRead::Done) return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

std::FILE* openRegularFile(const std::string& path, FileRead* failure) {
    FileRead result = FileRead::Done;
    struct stat info;
    const int fd = openRegular(path, result, info);
    std::FILE* file = fd < 0 ? nullptr : fdopen(fd, "rb");
    if (fd >= 0 && !file) {
        close(fd);
        result = FileRead::CannotOpen;
    }
    if (failure) *failure = result;
    return file;
}

std::string fileReadError(FileRead result) {
    switch (result) {
        case FileRead::Done: return "";
        case FileRead::NotRegular: return "not a regular file";
        case FileRead::TooLarge: return "too large";
        case FileRead::CannotOpen:
        case FileRead::CannotRead: break;
    }
    return std::strerror(errno);
}

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
    if (exists && !S_ISREG(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    if (exists && !mayWrite(target, old)) {
        errno = EACCES;
        return false;
    }
    Replace result = writeReplacing(target, content, exists ? &old : nullptr);
    // An installed game's folder is often read-only while the file itself
    // may be written: then it is rewritten where it is.
    if (result == Replace::NoTemporary) return writeInPlace(target, content);
    return result == Replace::Done;
}
