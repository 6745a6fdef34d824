#pragma once

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
// "level=time" are skipped.
void loadHighscores();
void loadHighscores(const std::string& path);

// Writes every entry of highscores to "highscores.ini" (or `path`). The old
// file is replaced only once the new content is safely on disk, so a failed
// write never loses the stored times. False (with a console line) on failure.
bool saveHighscores();
bool saveHighscores(const std::string& path);

// The file's content for the current highscores: "level=time" lines with the
// time in the stream's default double formatting.
std::string formatHighscores();
