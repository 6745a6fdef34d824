// moorglide-check: tells a player whether a course map can be flown. It reads
// the map as the game does, flies it with the autopilot without a window and
// prints one line per finding, the par time or the reason it failed last.
// Exit status 0: playable with a par time; 1: a map with problems; 2: no map
// (missing, not a PNG image) or a wrong command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/CourseCheck.h"
#include "app/RoutePicture.h"
#include "app/StepClock.h"
#include "player/RoutePlanner.h"
#include "world/LevelMarkers.h"

// The par is the game's time only when both step alike.
static_assert(CourseFlight::STEP == StepClock::STEP, "the course flight steps as the game does");

namespace {

void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: moorglide-check MAP.png [--route ROUTE.png]\n");
}

void printHelp() {
    printUsage(stdout);
    std::printf(
        "\n"
        "Reads a course map as Moorglide reads it, flies it with the autopilot and\n"
        "prints one line per finding. The last line is \"par N.NN s\", or where and why\n"
        "the autopilot could not finish, in map pixels (column, row).\n"
        "\n"
        "  --route ROUTE.png  also writes a picture of the course: heights shaded, walls\n"
        "                     brown, lamps yellow, snow clouds cyan, fog grey, night dark\n"
        "                     blue, the start magenta, the goal gate red, the planned\n"
        "                     route blue, the path flown white, a failure in an orange ring\n"
        "  --help             prints this\n"
        "\n"
        "The map is a PNG image from 2 x 2 to %u x %u pixels in all; any shape. Colours:\n"
        "  red                 the ground's height: 0 to 255 is 0 to 256 units; the figure\n"
        "                      flies no higher than about 240, and the autopilot does not\n"
        "                      climb over red %d and more\n"
        "  green above %u     a lamp (at most %u)\n"
        "  blue %u            a snow cloud (at most %u)\n"
        "  blue %u            fog\n"
        "  blue %u            night\n"
        "  blue above %u      the goal gate; the finish line runs across its row. With\n"
        "                      several, the lowest one counts (in its row the leftmost)\n"
        "  other green, blue   nothing\n"
        "The course starts at the bottom middle of the map (on a 512 x 512 map at\n"
        "column 255, row 507), 73 units up, heading up the image.\n"
        "\n"
        "Exit status: 0 playable, with a par time; 1 the map has problems;\n"
        "2 the file is missing or not a PNG image.\n",
        LevelMap::maximumSide, LevelMap::maximumSide, int(RoutePlanner::wallHeight * 255.0f / 256.0f) + 1,
        unsigned(LevelMarkers::bright), LevelMarkers::cap(LevelMarkers::Kind::Lamp),
        unsigned(LevelMarkers::snowBlue), LevelMarkers::cap(LevelMarkers::Kind::Snow),
        unsigned(LevelMarkers::fogBlue), unsigned(LevelMarkers::nightBlue), unsigned(LevelMarkers::bright));
}

}  // namespace

int main(int argc, char** argv) {
    std::string map, route;
    for (int k = 1; k < argc; ++k) {
        if (!std::strcmp(argv[k], "--help")) {
            printHelp();
            return CourseCheck::PLAYABLE;
        }
        if (!std::strcmp(argv[k], "--route") && k + 1 < argc) {
            route = argv[++k];
        } else if (argv[k][0] != '-' && map.empty()) {
            map = argv[k];
        } else {
            printUsage(stderr);
            return CourseCheck::UNREADABLE;
        }
    }
    if (map.empty()) {
        printUsage(stderr);
        return CourseCheck::UNREADABLE;
    }

    CourseCheck check;
    const int status = check.run(map);
    if (!route.empty() && status != CourseCheck::UNREADABLE && !check.map().empty() &&
        !RoutePicture(check).save(route))
        std::fprintf(stderr, "moorglide-check: the route picture %s could not be written\n", route.c_str());
    for (const std::string& line : check.lines()) std::printf("%s\n", line.c_str());
    return status;
}
