#include "support/ScopedDirectory.h"

#include <unistd.h>

#include <climits>

#include <gtest/gtest.h>

ScopedDirectory::ScopedDirectory(const std::string& path) {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer)) previous = buffer;
    if (chdir(path.c_str()) != 0) ADD_FAILURE() << "cannot enter " << path;
}

ScopedDirectory::~ScopedDirectory() {
    if (!previous.empty() && chdir(previous.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previous;
}
