// moorglide-generate: writes every game data file except the shaders.
//
//   moorglide-generate <data dir> [preview dir]
//   moorglide-generate --icons <icon dir>
//
// The output is deterministic; data/ holds the committed result and a test
// regenerates it and compares byte for byte. The preview folder receives
// pictures of the maps, the models and the font for a quick look. The icons
// are not game data: they go to the install files in dist/icons.

#include <cstdio>
#include <string>

#include "Font.h"
#include "Icons.h"
#include "Image.h"
#include "Levels.h"
#include "Meshes.h"
#include "Sounds.h"
#include "Textures.h"

namespace {

bool writeConfig(const std::string& dataDir)
{
    const std::string path = dataDir + "/config.ini";
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        std::printf("cannot write %s\n", path.c_str());
        return false;
    }
    std::fputs("WIDTH=800\nHEIGHT=600\nREFRESH_RATE=60\nFULLSCREEN=0\n", file);
    std::fclose(file);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--icons")
        return icons::writeAll(argv[2]) ? 0 : 1;
    if (argc < 2 || argc > 3) {
        std::printf("usage: %s <data dir> [preview dir]\n       %s --icons <icon dir>\n", argv[0], argv[0]);
        return 2;
    }
    const std::string dataDir = argv[1];
    const std::string previewDir = argc == 3 ? argv[2] : "";
    if (!makeDirectories(dataDir))
        return 1;
    const bool ok = writeConfig(dataDir) && textures::writeAll(dataDir) && meshes::writeAll(dataDir, previewDir)
                    && font::write(dataDir, previewDir) && levels::writeAll(dataDir, previewDir)
                    && sounds::writeAll(dataDir);
    if (!ok) {
        std::printf("generation failed\n");
        return 1;
    }
    std::printf("done\n");
    return 0;
}
