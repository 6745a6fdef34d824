#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "player/CourseFlight.h"
#include "world/LevelMap.h"

// What a player's course map is worth, as `moorglide-check` tells it: the
// map read as the game reads it (the same decoder, size limits, marker rules
// and caps), what it holds, what makes it unplayable, what is odd about it,
// and last the autopilot's flight without a window: the par time, or where
// and why it could not finish. Places are map pixels (column, row), as an
// image editor shows them.
class CourseCheck {
public:
    enum class Kind { Note, Problem, Warning, Result };
    struct Finding {
        Kind kind;
        std::string text;
        std::string brief;  // a problem in a few words, for the level board
    };

    // Exit statuses of the checker.
    static constexpr int PLAYABLE = 0;    // no problem, and a par time
    static constexpr int PROBLEMS = 1;    // a readable map with problems
    static constexpr int UNREADABLE = 2;  // missing, or not a PNG image

    // The course is too short to race below this par time (seconds).
    static constexpr double SHORTEST_PAR = 5.0;
    // Ground closer than this under the start's height, within a second's
    // flight of it, leaves a player no time to pull up.
    static constexpr float START_CLEARANCE = 10.0f;
    static constexpr float START_REACH = 40.0f;

    // Reads and checks the file; returns the exit status.
    int run(const std::string& path);
    // The same for PNG bytes already read; `name` names them in the findings.
    int check(const std::vector<unsigned char>& png, const std::string& name);

    // check() in pieces, so that a game can work a course out beside its
    // own level: begin() reads the map and makes every check that needs no
    // flight (false when the map cannot be read; a readable map may still
    // have problems, has(Kind::Problem) tells), advance()
    // flies for about `steps` steps (true once over), and finish() adds the
    // flight's findings and returns the exit status.
    bool begin(const std::vector<unsigned char>& png, const std::string& name);
    bool advance(int steps) { return courseFlight.advance(steps); }
    int finish();
    // The first problem found, or null.
    const Finding* firstProblem() const;

    int status() const { return exitStatus; }
    const std::vector<Finding>& findings() const { return found; }
    // The findings as the checker prints them, one line each.
    std::vector<std::string> lines() const;
    bool has(Kind kind) const;

    // The map as read and its flight; empty and not begun when unreadable.
    const LevelMap& map() const { return levelMap; }
    const CourseFlight& flight() const { return courseFlight; }

    // The map pixel (column, row) of a terrain-space point.
    glm::ivec2 pixelOf(const glm::vec3& point) const;

private:
    void add(Kind kind, const std::string& text, const std::string& brief = "") {
        found.push_back({kind, text, brief});
    }
    // Nothing read yet: no findings, no map, no flight.
    void forget();
    bool readSize(const std::vector<unsigned char>& png, const std::string& name);
    void reportMarkers();
    void checkStart();
    void checkGoal();
    void checkRoute();
    void checkWalls();
    void reportFlight();
    std::string place(const glm::vec3& point) const;

    LevelMap levelMap;
    CourseFlight courseFlight;
    std::vector<Finding> found;
    int exitStatus = UNREADABLE;
};
