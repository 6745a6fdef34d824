#include "app/CourseCheck.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include <lodepng.h>

#include "core/GameState.h"
#include "core/SafeFile.h"
#include "player/RoutePlanner.h"

namespace {

using Marker = LevelMarkers::Kind;

std::string counted(unsigned n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

float extentX() { return float(gameState.terrainExtent[0]); }
float extentZ() { return float(gameState.terrainExtent[1]); }

// The highest red that stays at or under `height`.
int redAtMost(float height) { return std::max(0, int(std::floor(height * 255.0f / LEVEL_HEIGHT_SCALE))); }

}  // namespace

int CourseCheck::run(const std::string& path) {
    std::vector<unsigned char> png;
    const FileRead read = readRegularFile(path, png);
    if (read != FileRead::Done) {
        forget();
        add(Kind::Problem, path + " cannot be read (" + fileReadError(read) + ")", "cannot be read");
        exitStatus = UNREADABLE;
        return exitStatus;
    }
    return check(png, path);
}

void CourseCheck::forget() {
    found.clear();
    levelMap = LevelMap();
    courseFlight.begin(levelMap);
    exitStatus = UNREADABLE;
}

int CourseCheck::check(const std::vector<unsigned char>& png, const std::string& name) {
    if (!begin(png, name)) return exitStatus;
    courseFlight.run();
    return finish();
}

bool CourseCheck::begin(const std::vector<unsigned char>& png, const std::string& name) {
    forget();
    if (!readSize(png, name)) return false;
    if (!levelMap.decode(png, name)) {
        add(Kind::Problem, levelMap.error(), "cannot be decoded");
        exitStatus = UNREADABLE;
        return false;
    }
    courseFlight.begin(levelMap);
    reportMarkers();
    checkStart();
    checkGoal();
    checkWalls();
    exitStatus = has(Kind::Problem) ? PROBLEMS : PLAYABLE;
    return true;
}

const CourseCheck::Finding* CourseCheck::firstProblem() const {
    for (const Finding& f : found)
        if (f.kind == Kind::Problem) return &f;
    return nullptr;
}

int CourseCheck::finish() {
    checkRoute();
    reportFlight();
    // Problems before warnings, whatever found them first; the result last.
    std::stable_sort(found.begin(), found.end(),
                     [](const Finding& a, const Finding& b) { return int(a.kind) < int(b.kind); });
    exitStatus = has(Kind::Problem) || courseFlight.outcome() != CourseFlight::Outcome::Finished ? PROBLEMS : PLAYABLE;
    return exitStatus;
}

bool CourseCheck::readSize(const std::vector<unsigned char>& png, const std::string& name) {
    unsigned width = 0, height = 0;
    lodepng::State state;
    const unsigned error = lodepng_inspect(&width, &height, &state, png.data(), png.size());
    if (error != 0) {
        add(Kind::Problem, name + " is not a PNG image (" + lodepng_error_text(error) + ")", "not a PNG image");
        exitStatus = UNREADABLE;
        return false;
    }
    const std::string size = "size: " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (!LevelMap::withinLimit(width, height)) {
        add(Kind::Problem, size + ", more than the " + std::to_string(LevelMap::maximumPixels) + " pixels in all (" +
                               std::to_string(LevelMap::maximumSide) + " x " + std::to_string(LevelMap::maximumSide) +
                               ") a map may have",
            "too large");
        exitStatus = PROBLEMS;
        return false;
    }
    if (width < LevelMap::minimumSize || height < LevelMap::minimumSize) {
        add(Kind::Problem, size + ", a terrain needs at least 2 x 2", "too small");
        exitStatus = PROBLEMS;
        return false;
    }
    const unsigned shipped = LEVEL_MAP_SIZE;
    add(Kind::Note, width == shipped && height == shipped
                        ? size
                        : size + " (not 512 x 512: the game bakes no light map for it, the ground is lit evenly)");
    return true;
}

void CourseCheck::reportMarkers() {
    const LevelMarkers& markers = courseFlight.markers();
    auto all = [&](Marker kind) { return markers.count(kind) + markers.droppedCount(kind); };
    std::string text = "markers: " + counted(all(Marker::Lamp), "lamp", "lamps") + ", " +
                       counted(all(Marker::Snow), "snow cloud", "snow clouds") + ", " +
                       counted(all(Marker::Goal), "goal pixel", "goal pixels") + ", " +
                       counted(all(Marker::Fog), "fog marker", "fog markers") + ", " +
                       counted(all(Marker::Night), "night marker", "night markers");
    static const char* const names[5] = {"lamps", "snow clouds", "goal pixels", "fog markers", "night markers"};
    std::string dropped;
    for (int k = 0; k < 5; ++k) {
        const unsigned n = markers.droppedCount(Marker(k));
        if (n == 0) continue;
        dropped += (dropped.empty() ? "" : ", ") + std::to_string(n) + " " + names[k] + " (at most " +
                   std::to_string(LevelMarkers::cap(Marker(k))) + ")";
    }
    add(Kind::Note, text + "; dropped over the caps: " + (dropped.empty() ? "none" : dropped));
    add(Kind::Note, std::string("night: ") + (markers.night() ? "yes" : "no") + ", fog: " + (markers.fog() ? "yes" : "no") +
                        ", snow: " + (markers.count(Marker::Snow) > 0 ? "yes" : "no"));
    for (Marker kind : {Marker::Lamp, Marker::Snow}) {
        const unsigned n = markers.droppedCount(kind);
        if (n == 0) continue;
        add(Kind::Warning, std::to_string(n) + (kind == Marker::Lamp ? " lamps" : " snow clouds") + " over the cap of " +
                               std::to_string(LevelMarkers::cap(kind)) + ": the game places the first " +
                               std::to_string(LevelMarkers::cap(kind)) + " from the top of the map only");
    }
}

void CourseCheck::checkStart() {
    const TerrainGrid& grid = courseFlight.grid();
    const glm::vec3 start = courseFlight.start();
    const int columns = int(grid.columns), rows = int(grid.rows);
    const int i0 = LevelMap::rowAt(start.z, rows, extentZ());
    const int j0 = LevelMap::columnAt(start.x, columns, extentX());
    const float under = grid.position(unsigned(i0), unsigned(j0)).y;
    // The nearest vertex counts even where the grid ends before the start.
    float near = under;
    const int i1 = LevelMap::rowAt(start.z + START_REACH, rows, extentZ());
    const int i2 = LevelMap::rowAt(start.z - START_REACH, rows, extentZ());
    const int j1 = LevelMap::columnAt(start.x - START_REACH, columns, extentX());
    const int j2 = LevelMap::columnAt(start.x + START_REACH, columns, extentX());
    for (int i = i1; i <= i2; ++i)
        for (int j = j1; j <= j2; ++j) {
            const glm::vec3 p = grid.position(unsigned(i), unsigned(j));
            const float dx = p.x - start.x, dz = p.z - start.z;
            if (dx * dx + dz * dz <= START_REACH * START_REACH) near = std::max(near, p.y);
        }
    const std::string where = "the start at " + place(start);
    const std::string figure = ", the figure starts at " + fixed(start.y, 0) + " (red " +
                               std::to_string(redAtMost(start.y - START_CLEARANCE)) + " at most around it)";
    if (under >= start.y) {
        add(Kind::Problem, where + " is inside the ground: the ground there is " + fixed(under, 0) + " high" + figure,
            "start inside the ground");
    } else if (near > start.y - START_CLEARANCE) {
        add(Kind::Problem,
            where + " is too near the ground: the ground within " + fixed(START_REACH, 0) + " units of it is " +
                fixed(near, 0) + " high" + figure,
            "start too near the ground");
    }
}

void CourseCheck::checkGoal() {
    const LevelMarkers& markers = courseFlight.markers();
    const glm::vec3 goal = courseFlight.goal();
    const glm::vec3 start = courseFlight.start();
    if (!markers.goalFound()) {
        add(Kind::Problem, "no goal gate: paint the pixel where the course ends with blue above 250", "no goal gate");
    } else if (goal.z <= start.z) {
        add(Kind::Problem,
            "the goal gate at " + place(goal) + " is behind the start (row " + std::to_string(pixelOf(start).y) +
                "): the race would end at once",
            "goal behind the start");
    }
}

void CourseCheck::checkRoute() {
    if (courseFlight.outcome() != CourseFlight::Outcome::NoRoute) return;
    const LevelMarkers& markers = courseFlight.markers();
    const glm::vec3 goal = courseFlight.goal();
    std::string why;
    const glm::ivec2 gate = pixelOf(goal);
    const bool onEdge =
        gate.x == 0 || gate.y == 0 || gate.x + 1 == int(levelMap.width()) || gate.y + 1 == int(levelMap.height());
    if (markers.goalFound() && onEdge) {
        why = " (the gate stands on the map's edge)";
    } else if (markers.goalFound() && goal.y > RoutePlanner::wallHeight) {
        why = " (the gate stands on ground too high to fly over)";
    }
    add(Kind::Problem, "the goal is unreachable: the way from the start ends at " + place(courseFlight.where()) + why,
        "goal unreachable");
}

void CourseCheck::checkWalls() {
    const TerrainGrid& grid = courseFlight.grid();
    const int startRow = pixelOf(courseFlight.start()).y;
    const int goalRow = pixelOf(courseFlight.goal()).y;
    auto closed = [&](unsigned i) {
        for (unsigned j = 0; j < grid.columns; ++j)
            if (grid.position(i, j).y <= RoutePlanner::wallHeight) return false;
        return true;
    };
    const std::string wall = "a wall too high to fly over (red " + std::to_string(redAtMost(RoutePlanner::wallHeight) + 1) +
                             " and more) crosses the whole width at ";
    for (int i = startRow - 1; i > goalRow; --i) {
        if (!closed(unsigned(i))) continue;
        int last = i;
        while (last - 1 > goalRow && closed(unsigned(last - 1))) --last;
        add(Kind::Warning, wall + (last == i ? "row " + std::to_string(i)
                                             : "rows " + std::to_string(last) + " to " + std::to_string(i)));
        i = last;
    }
}

void CourseCheck::reportFlight() {
    const CourseFlight& flight = courseFlight;
    if (flight.outcome() == CourseFlight::Outcome::Finished) {
        if (flight.wingBreaks() > 0)
            add(Kind::Warning, "the autopilot broke a wing at " + place(flight.firstWingBreak()) + ": a tight spot");
        if (flight.time() < SHORTEST_PAR)
            add(Kind::Warning, "the course is shorter than 5 s: the autopilot finishes in " + fixed(flight.time(), 2) + " s");
        add(Kind::Result, "par " + fixed(flight.time(), 2) + " s");
        return;
    }
    std::string why;
    switch (flight.outcome()) {
    case CourseFlight::Outcome::NoRoute: why = "no way on to the goal gate"; break;
    case CourseFlight::Outcome::BodyContact: why = "the body hit the ground"; break;
    case CourseFlight::Outcome::OutOfTime: why = "still flying after " + fixed(flight.maxSeconds, 0) + " s"; break;
    default: why = "nothing to fly"; break;
    }
    add(Kind::Result, "not finished: " + why + " at " + place(flight.where()));
}

bool CourseCheck::has(Kind kind) const {
    return std::any_of(found.begin(), found.end(), [kind](const Finding& f) { return f.kind == kind; });
}

std::vector<std::string> CourseCheck::lines() const {
    std::vector<std::string> text;
    for (const Finding& f : found) {
        const char* lead = f.kind == Kind::Problem ? "problem: " : f.kind == Kind::Warning ? "warning: " : "";
        text.push_back(lead + f.text);
    }
    return text;
}

glm::ivec2 CourseCheck::pixelOf(const glm::vec3& point) const {
    const int columns = int(levelMap.width()), rows = int(levelMap.height());
    if (columns == 0 || rows == 0) return glm::ivec2(0);
    return glm::ivec2(columns - 1 - LevelMap::columnAt(point.x, columns, extentX()),
                      LevelMap::rowAt(point.z, rows, extentZ()));
}

std::string CourseCheck::place(const glm::vec3& point) const {
    const glm::ivec2 pixel = pixelOf(point);
    return "column " + std::to_string(pixel.x) + ", row " + std::to_string(pixel.y);
}
