#include "world/LevelCatalogue.h"

#include <fstream>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "world/LevelNames.h"

namespace {

// The rows `| n | Name | ... |` of the README table under `heading`: the
// level number and each row's cells after it.
std::map<int, std::vector<std::string>> readmeTable(const std::string& heading) {
    std::ifstream file(std::string(MOORGLIDE_SOURCE_DIR) + "/README.md");
    std::string line;
    while (std::getline(file, line) && line != heading) {
    }
    std::map<int, std::vector<std::string>> rows;
    const std::regex row(R"(^\| *([0-9]+) *\|(.*)\|$)");
    while (std::getline(file, line) && line.rfind("#", 0) != 0) {
        std::smatch match;
        if (!std::regex_match(line, match, row)) continue;
        std::vector<std::string> cells;
        std::istringstream rest(match[2].str());
        std::string cell;
        while (std::getline(rest, cell, '|')) cells.push_back(cell.substr(1, cell.size() - 2));
        rows[std::stoi(match[1].str())] = cells;
    }
    return rows;
}

}  // namespace

TEST(LevelCatalogue, ShippedLevelsCarryTheirNamesMapsAndPar) {
    const LevelCatalogue catalogue = LevelCatalogue::shipped(std::string(MOORGLIDE_DATA_DIR) + "/par.ini");
    ASSERT_EQ(catalogue.entries().size(), size_t(LEVEL_COUNT));
    for (int level = 1; level <= LEVEL_COUNT; ++level) {
        const LevelCatalogue::Entry& entry = catalogue.entries()[size_t(level - 1)];
        EXPECT_EQ(entry.number, level);
        EXPECT_EQ(entry.name, LEVEL_NAMES[level - 1]);
        EXPECT_EQ(entry.mapPath, "Maps/map" + std::to_string(level) + ".png");
        EXPECT_TRUE(entry.playable);
        EXPECT_TRUE(entry.hasPar) << level;
        EXPECT_GT(entry.par, 10.0) << level;
        EXPECT_LT(entry.par, 60.0) << level;
    }
    EXPECT_EQ(catalogue.find(7)->name, "Frozen Fork");
    EXPECT_EQ(catalogue.find(11), nullptr);
}

TEST(LevelCatalogue, MissingParFileLeavesTheLevelsWithoutPar) {
    const LevelCatalogue catalogue = LevelCatalogue::shipped("/nonexistent/par.ini");
    ASSERT_EQ(catalogue.entries().size(), size_t(LEVEL_COUNT));
    for (const LevelCatalogue::Entry& entry : catalogue.entries()) EXPECT_FALSE(entry.hasPar);
}

TEST(LevelCatalogue, ParLinesThatDoNotReadAreSkipped) {
    const std::map<int, double> times =
        LevelCatalogue::parseParTimes("# comment\n1=21.5\n2 = 3\n3=abc\n0=5\n4=-2\n5=nan\n6=12.25 s\n1=20\n");
    EXPECT_EQ(times, (std::map<int, double>{{1, 20.0}, {6, 12.25}}));
}

// The README's two level tables, the names the game and generator use and
// the shipped par times all say the same.
TEST(LevelCatalogue, ReadmeTablesMatchTheNamesAndTheParFile) {
    const LevelCatalogue catalogue = LevelCatalogue::shipped(std::string(MOORGLIDE_DATA_DIR) + "/par.ini");
    const auto levels = readmeTable("### The ten levels");
    const auto par = readmeTable("## Par times");
    ASSERT_EQ(levels.size(), size_t(LEVEL_COUNT));
    ASSERT_EQ(par.size(), size_t(LEVEL_COUNT));
    for (const LevelCatalogue::Entry& entry : catalogue.entries()) {
        EXPECT_EQ(levels.at(entry.number).at(0), entry.name);
        EXPECT_EQ(par.at(entry.number).at(0), entry.name);
        EXPECT_DOUBLE_EQ(std::stod(par.at(entry.number).at(1)), entry.par) << entry.number;
    }
}
