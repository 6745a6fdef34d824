#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The best times of the player's own courses, kept apart from the ten
// levels' highscores.ini in a file of their own ("courses.ini" beside it).
// A course is known by a hash of its map file's bytes, not by its name: a
// course repainted under the same name starts afresh, a renamed copy keeps
// its time. One "key=time" line per course, the time written as the
// highscores write theirs, and the file replaced as safely.
class CourseTimes {
public:
    static constexpr const char* FILE_NAME = "courses.ini";

    explicit CourseTimes(std::string path = FILE_NAME) : path(std::move(path)) {}

    // A map's key: the 64-bit FNV-1a hash of its bytes in 16 hex digits.
    static std::string keyOf(const std::vector<unsigned char>& mapBytes);
    // The key of a map file; false when it cannot be read.
    static bool keyOfFile(const std::string& mapPath, std::string& key);
    // The file of the course's best run, in the ghosts folder beside the
    // levels' ghosts.
    static std::string ghostFileName(const std::string& key) { return "course-" + key + ".ghost"; }

    // Reads the file; false when there is none (no times yet). Lines that
    // are no "key=time" with a key as keyOf makes it and a finite time are
    // skipped; a later line for a key wins.
    bool load();
    void read(std::istream& in);
    // Writes every time; false, with a console line, when the file could not
    // be written (it is then left as it was).
    bool save() const;
    std::string format() const;

    // The course's best time, NO_HIGHSCORE when it has none.
    double best(const std::string& key) const;
    // Keeps `time` when it is a time (not 0) and beats the best strictly, as
    // a level's best time does; true then.
    bool record(const std::string& key, double time);
    // A time was recorded since the file was read.
    bool changed() const { return recorded; }

private:
    std::string path;
    std::map<std::string, double> times;
    bool recorded = false;
};

// The own courses' best times of this run, read at set-up and written at
// the end like the highscores.
extern CourseTimes courseTimes;
