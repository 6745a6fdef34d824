#pragma once

#include <string>
#include <vector>

// The console lines of one model import, kept so that a model imported once
// (ModelCache) can report every later use as an import of its own would.
class ImportReport {
public:
    // Prints a line and keeps it (`text` without its line feed).
    void line(const std::string& text);
    // Prints a material texture's path and keeps it with the name the texture
    // is loaded by; the caller loads it.
    void texture(const std::string& path, const std::string& fileName);
    // Prints the lines again; each texture looks itself up in the texture
    // cache again, as a new import would.
    void replay() const;

private:
    struct Entry {
        std::string text;
        std::string textureFile;  // empty for a plain line
    };
    std::vector<Entry> entries;
};
