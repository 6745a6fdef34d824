#pragma once

#include <string>

// Changes the working directory for the lifetime of the object.
class ScopedDirectory {
public:
    explicit ScopedDirectory(const std::string& path);
    ~ScopedDirectory();

private:
    std::string previous;
};
