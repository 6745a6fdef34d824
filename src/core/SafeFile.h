#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// How reading a data file ended.
enum class FileRead { Done, CannotOpen, NotRegular, TooLarge, CannotRead };

// Reads all of `path` into `bytes`. Only a regular file is read: a folder, a
// FIFO or a device named like a data file would fail oddly or block the game
// for ever, so it is looked at before it is opened, opened without waiting
// and turned away. CannotOpen and CannotRead leave errno set; `size`, when
// given, receives the file's size once it is known (as for TooLarge).
FileRead readRegularFile(const std::string& path, std::vector<unsigned char>& bytes,
                         std::uint64_t maxBytes = UINT64_MAX, std::uint64_t* size = nullptr);
// The whole text of a regular file; false for anything readRegularFile refuses.
bool readTextFile(const std::string& path, std::string& text);
// A regular file opened for binary reading, or null as readRegularFile
// refuses, with the kind of failure in `failure` when given.
std::FILE* openRegularFile(const std::string& path, FileRead* failure = nullptr);
// Why a read failed, for a console line: the system's reason where it gave
// one (call right after the read, while errno holds it).
std::string fileReadError(FileRead result);

// Replaces the file at `path` with `content` so that a crash leaves either
// the old file or the new one: through a temporary file beside it, synced
// and renamed over it. The replacement keeps the old file's permissions; a
// symlink stays and the file it points to is replaced. Where no temporary
// file can be made (a read-only folder holding a writable file) the file is
// rewritten in place. A file that exists and may not be written (no write
// permission, judged by its mode also for root, who could override it) or
// that is not a regular file is left alone: false with errno set, as for
// content that could not be written.
bool replaceFileContent(const std::string& path, const std::string& content);
