#pragma once

#include <iosfwd>
#include <map>
#include <string>

// The time that stands for "no time recorded"; every real time is smaller.
constexpr double NO_HIGHSCORE = 50000.0;

// Best time per level number, in seconds, ascending by level.
extern std::map<int, double> highscores;

// Sets levels 1 to LEVEL_COUNT to NO_HIGHSCORE; entries for other levels stay.
void presetHighscores();

// Reads "highscores.ini" from the working directory (or `path`) into
// highscores and prints each entry read. Lines that do not read as
// "level=time", with a level that fits an int and a finite time, are skipped.
// A file that is not a regular one (a FIFO, say) counts as missing.
void loadHighscores();
void loadHighscores(const std::string& path);
// The reading part of loadHighscores, from any stream.
void readHighscores(std::istream& in);

// Writes every entry of highscores to "highscores.ini" (or `path`). The old
// file is replaced only once the new content is safely on disk, so a failed
// write never loses the stored times; the replacement keeps its permissions,
// and a symbolic link stays and has its target written. Where no temporary
// file can be made beside it (a read-only folder), the file is rewritten in
// place. A file that may not be written stays as it is. False (with a console
// line) on failure.
bool saveHighscores();
bool saveHighscores(const std::string& path);

// The file's content for the current highscores: "level=time" lines with the
// time in the stream's default double formatting.
std::string formatHighscores();
