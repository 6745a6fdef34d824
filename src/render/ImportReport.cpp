#include "render/ImportReport.h"

#include <cstdio>

#include "render/Mesh.h"

void ImportReport::line(const std::string& text) {
    std::printf("%s\n", text.c_str());
    entries.push_back(Entry{text, std::string()});
}

void ImportReport::texture(const std::string& path, const std::string& fileName) {
    std::printf("%s\n", path.c_str());
    entries.push_back(Entry{path, fileName});
}

void ImportReport::replay() const {
    for (const Entry& entry : entries) {
        std::printf("%s\n", entry.text.c_str());
        if (!entry.textureFile.empty()) cachedTexture(entry.textureFile, 0);
    }
}
