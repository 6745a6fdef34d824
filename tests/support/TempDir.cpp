#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

TempDir::TempDir() {
    char pattern[] = "/tmp/moorglide-test-XXXXXX";
    char* made = mkdtemp(pattern);
    if (!made) {
        ADD_FAILURE() << "mkdtemp failed";
        return;
    }
    dir = made;
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
}

void TempDir::write(const std::string& name, const std::string& content) const {
    std::ofstream out(file(name), std::ios::binary);
    out << content;
}

void copyDataTo(const std::string& target) {
    std::filesystem::create_directories(target);
    std::filesystem::copy(MOORGLIDE_DATA_DIR, target,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

std::string readFileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}
