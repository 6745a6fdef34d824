#pragma once

#include <string>

// A fresh empty folder under /tmp, removed with its content at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return dir; }
    std::string file(const std::string& name) const { return dir + "/" + name; }
    void write(const std::string& name, const std::string& content) const;

private:
    std::string dir;
};

// The whole content of a file; empty if it cannot be read.
std::string readFileText(const std::string& path);

// Copies the shipped data/ folder into `target` (created if missing).
void copyDataTo(const std::string& target);
