#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "world/LevelCatalogue.h"

class CourseCheck;

// The player's own courses: the PNG images in the `levels` folder, listed
// after the ten levels by file name without ".png". Each is checked as
// moorglide-check checks it, first without flying (a course with a problem
// cannot be chosen) and then flown by the autopilot for its par time, a few
// steps at a time so that the game runs on meanwhile. What is found is kept
// by the map's key (CourseTimes::keyOf), so a renamed course is not worked
// out again and a repainted one is.
class OwnCourses {
public:
    static constexpr const char* FOLDER = "levels";
    // More would not be chosen from a list on a screen anyway; a course's
    // number must also fit a ghost file (at most 1000).
    static constexpr int MAX_COURSES = 500;

    explicit OwnCourses(std::string folder = FOLDER);
    ~OwnCourses();
    OwnCourses(const OwnCourses&) = delete;
    OwnCourses& operator=(const OwnCourses&) = delete;

    // Reads the folder again. A course keeps its number for the whole run,
    // from LEVEL_COUNT + 1 on in the order first seen; a file that cannot
    // be read is listed as unplayable with one console line.
    void list();
    // Works for about `steps` flight steps on what is still due: the next
    // course not yet checked (reading and checking a map takes a frame or
    // two), else the par flight under way or the next one. True when a
    // course's entry changed.
    bool work(int steps);
    bool busy() const;
    // Checks course `number` now unless it was checked already; true when
    // it can be flown.
    bool checkNow(int number);

    // The catalogue entries, in listing order: number, name, map, key,
    // playable or why not, and the par once worked out.
    const std::vector<LevelCatalogue::Entry>& entries() const { return courses; }
    const LevelCatalogue::Entry* find(int number) const;

private:
    struct Verdict {
        bool playable = true;
        std::string reason;
        bool parWorked = false;
        bool hasPar = false;
        double par = 0.0;
    };
    void apply(LevelCatalogue::Entry& entry) const;
    bool applyAll();
    // Reads and checks `entry`'s map without flying; the checker is kept
    // for the par flight when none is under way and the map has no problem.
    void check(LevelCatalogue::Entry& entry);
    void reject(const std::string& name, const std::string& key, const std::string& reason, const std::string& why);
    void finishFlight();

    std::string folder;
    std::vector<LevelCatalogue::Entry> courses;
    std::map<std::string, int> numbers;        // by file name
    std::map<std::string, Verdict> verdicts;   // by map key
    std::map<std::string, std::string> unreadable;  // file name: why, as reported
    std::unique_ptr<CourseCheck> flight;
    std::string flightKey;
    std::string flightName;
};
