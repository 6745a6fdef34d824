#include "app/OwnCourses.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "app/CourseCheck.h"
#include "app/CourseTimes.h"
#include "core/LevelConstants.h"
#include "core/SafeFile.h"

namespace {

// A 2048 x 2048 map stored without any compression, and a margin.
constexpr std::uint64_t MAX_MAP_BYTES = 16u << 20;
// A ghost file's level number goes no higher.
constexpr int MAX_NUMBER = 1000;

bool isPng(const std::string& name) {
    if (name.size() <= 4) return false;
    std::string end = name.substr(name.size() - 4);
    for (char& c : end) c = char(std::tolower(static_cast<unsigned char>(c)));
    return end == ".png";
}

}  // namespace

OwnCourses::OwnCourses(std::string folder) : folder(std::move(folder)) {}

OwnCourses::~OwnCourses() = default;

void OwnCourses::list() {
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* item = readdir(dir)) {
            if (isPng(item->d_name)) files.push_back(item->d_name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());

    std::vector<LevelCatalogue::Entry> listed;
    for (const std::string& file : files) {
        if (int(listed.size()) >= MAX_COURSES) break;
        auto known = numbers.find(file);
        if (known == numbers.end()) {
            const int number = LEVEL_COUNT + 1 + int(numbers.size());
            if (number > MAX_NUMBER) continue;
            known = numbers.emplace(file, number).first;
        }
        LevelCatalogue::Entry entry;
        entry.number = known->second;
        entry.name = file.substr(0, file.size() - 4);
        entry.kind = LevelCatalogue::Kind::Own;
        entry.mapPath = folder + "/" + file;
        std::vector<unsigned char> bytes;
        const FileRead read = readRegularFile(entry.mapPath, bytes, MAX_MAP_BYTES);
        if (read == FileRead::Done) {
            unreadable.erase(file);
            entry.key = CourseTimes::keyOf(bytes);
        } else {
            // Said once, until the file reads again or fails otherwise.
            const std::string why = fileReadError(read);
            if (unreadable[file] != why) {
                std::printf("Course %s cannot be flown: %s cannot be read (%s)\n", entry.name.c_str(),
                            entry.mapPath.c_str(), why.c_str());
                std::fflush(stdout);
            }
            unreadable[file] = why;
        }
        apply(entry);
        listed.push_back(entry);
    }
    courses = listed;
}

void OwnCourses::apply(LevelCatalogue::Entry& entry) const {
    if (entry.key.empty()) {
        entry.playable = false;
        entry.unplayableReason = "cannot be read";
        entry.parPending = false;
        return;
    }
    const auto found = verdicts.find(entry.key);
    // Not yet checked: playable until something is found.
    const Verdict verdict = found == verdicts.end() ? Verdict() : found->second;
    entry.playable = verdict.playable;
    entry.unplayableReason = verdict.reason;
    entry.hasPar = verdict.hasPar;
    entry.par = verdict.par;
    entry.parPending = verdict.playable && !verdict.parWorked;
}

bool OwnCourses::applyAll() {
    for (LevelCatalogue::Entry& entry : courses) apply(entry);
    return true;
}

bool OwnCourses::work(int steps) {
    // Every course is checked before any par is flown: unplayable ones show
    // at once.
    for (LevelCatalogue::Entry& entry : courses) {
        if (!entry.key.empty() && !verdicts.count(entry.key)) {
            check(entry);
            return applyAll();
        }
    }
    if (flight) {
        if (!flight->advance(steps)) return false;
        finishFlight();
        return applyAll();
    }
    for (LevelCatalogue::Entry& entry : courses) {
        if (entry.playable && entry.parPending) {
            check(entry);
            return applyAll();
        }
    }
    return false;
}

bool OwnCourses::busy() const {
    if (flight) return true;
    for (const LevelCatalogue::Entry& entry : courses) {
        if (!entry.key.empty() && (!verdicts.count(entry.key) || entry.parPending)) return true;
    }
    return false;
}

bool OwnCourses::checkNow(int number) {
    for (LevelCatalogue::Entry& entry : courses) {
        if (entry.number != number) continue;
        if (!entry.key.empty() && !verdicts.count(entry.key)) check(entry);
        applyAll();
        return entry.playable;
    }
    return false;
}

const LevelCatalogue::Entry* OwnCourses::find(int number) const {
    for (const LevelCatalogue::Entry& entry : courses) {
        if (entry.number == number) return &entry;
    }
    return nullptr;
}

void OwnCourses::check(LevelCatalogue::Entry& entry) {
    std::vector<unsigned char> bytes;
    if (readRegularFile(entry.mapPath, bytes, MAX_MAP_BYTES) != FileRead::Done) {
        // Gone or changed into something unreadable since the listing.
        entry.key.clear();
        return;
    }
    // Repainted since the listing: what is checked is what is there now.
    entry.key = CourseTimes::keyOf(bytes);
    std::unique_ptr<CourseCheck> checker(new CourseCheck());
    checker->begin(bytes, entry.mapPath);
    if (const CourseCheck::Finding* problem = checker->firstProblem()) {
        reject(entry.name, entry.key, problem->brief, problem->text);
        return;
    }
    verdicts[entry.key];
    if (flight) return;
    flight = std::move(checker);
    flightKey = entry.key;
    flightName = entry.name;
}

void OwnCourses::reject(const std::string& name, const std::string& key, const std::string& reason,
                        const std::string& why) {
    Verdict& verdict = verdicts[key];
    verdict.playable = false;
    verdict.reason = reason;
    verdict.parWorked = true;
    std::printf("Course %s cannot be flown: %s\n", name.c_str(), why.c_str());
    std::fflush(stdout);
}

void OwnCourses::finishFlight() {
    flight->finish();
    Verdict& verdict = verdicts[flightKey];
    verdict.parWorked = true;
    if (const CourseCheck::Finding* problem = flight->firstProblem()) {
        reject(flightName, flightKey, problem->brief, problem->text);
    } else if (flight->flight().outcome() == CourseFlight::Outcome::Finished) {
        verdict.hasPar = true;
        verdict.par = flight->flight().time();
        std::printf("Course %s: par %.2f s\n", flightName.c_str(), verdict.par);
    } else {
        std::printf("Course %s: no par time, %s\n", flightName.c_str(), flight->lines().back().c_str());
    }
    std::fflush(stdout);
    flight.reset();
}
