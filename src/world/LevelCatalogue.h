#pragma once

#include <map>
#include <string>
#include <vector>

// Every level a player can choose: the ten shipped ones and, after them,
// courses of the player's own. The level board lists these entries; nothing
// else about a level is known here.
class LevelCatalogue {
public:
    enum class Kind { Shipped, Own };

    struct Entry {
        int number = 0;  // the level number the game and highscores.ini use
        std::string name;
        Kind kind = Kind::Shipped;
        std::string mapPath;     // the map image, relative to the game's folder
        double par = 0.0;        // seconds; meaningful only with hasPar
        bool hasPar = false;
        bool parPending = false;  // an own course's par is still being worked out
        std::string key;          // an own course's map key (its best time and ghost)
        bool playable = true;
        std::string unplayableReason;  // why not, for the board
    };

    // The shipped levels, with the par times of the par file at `parPath`
    // (a level it does not name has none).
    static LevelCatalogue shipped(const std::string& parPath = "par.ini");

    // Own courses go after everything already listed.
    void add(Entry entry) { list.push_back(std::move(entry)); }
    const std::vector<Entry>& entries() const { return list; }
    // The entry of level `number`, or null.
    const Entry* find(int number) const;

    // The par file: one `level=seconds` line per level, `#` comments and
    // blank lines skipped. Lines that do not read that way are skipped too;
    // a later line for a level wins. Reading a file that is missing or not a
    // regular file gives false and no times.
    static std::map<int, double> parseParTimes(const std::string& text);
    static bool readParTimes(const std::string& path, std::map<int, double>& times);

private:
    std::vector<Entry> list;
};
