#pragma once

#include <string>

// Replaces the file at `path` with `content` so that a crash leaves either
// the old file or the new one: through a temporary file beside it, synced
// and renamed over it. The replacement keeps the old file's permissions; a
// symlink stays and the file it points to is replaced. Where no temporary
// file can be made (a read-only folder holding a writable file) the file is
// rewritten in place. False if the content could not be written.
bool replaceFileContent(const std::string& path, const std::string& content);
