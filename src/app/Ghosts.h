#pragma once

#include <map>
#include <set>
#include <string>

#include "app/GhostRecorder.h"
#include "player/GhostTrack.h"
#include "render/ShaderFailure.h"

class GhostNode;

// The ghost of each level's best run for the frame loop: records every run,
// keeps a run that sets a new best time (the highscore's own rule) and writes
// it with the best times, and replays the level's best run as a translucent
// figure that follows the race clock. G shows or hides it.
class Ghosts {
public:
    explicit Ghosts(std::string folder = "ghosts") : folder(std::move(folder)) {}
    ~Ghosts();
    Ghosts(const Ghosts&) = delete;
    Ghosts& operator=(const Ghosts&) = delete;

    // Imports the figure; without it the game still records and saves. A
    // basic program that cannot be built is left in `failure` for the caller.
    void setUp(ShaderFailure& failure);
    // A level was built: its best run from this session or from its file.
    // An own course's (level above LEVEL_COUNT: gameState.ownCourse) is
    // kept by its map's key, as its best time is.
    void levelStarted(int level);
    // After each simulation step; see GhostRecorder.
    void afterStep(bool runStarted);
    // Each frame after the end-of-level step: keeps a new best run, then puts
    // the figure where the replayed run stood at this race time.
    void afterFrame();
    // In the transparent pass, while G has it on and there is a run.
    void drawTransparent();
    // Writes the runs kept since the start, one console line each.
    void save();

    // A run of `level` (or of the own course of map key `courseKey`) is kept
    // from this session or its file reads; each file is read once, on the
    // first question.
    bool hasGhost(int level, const std::string& courseKey = "");

    const GhostTrack* replayed() const { return hasReplay ? &replay : nullptr; }

private:
    // The ghost file's name in the folder: "levelN.ghost", or
    // "course-<key>.ghost" for an own course.
    static std::string fileName(int level, const std::string& courseKey);

    std::string folder;
    GhostRecorder recorder;
    std::string current;  // the file name of the level flown
    std::string label;    // "level N" or "course NAME", for the console
    std::map<std::string, GhostTrack> kept;  // new best runs of this session, by file name
    std::map<std::string, std::string> unsaved;  // their labels
    std::map<std::string, bool> onDisk;  // files read: usable or not
    GhostTrack replay;
    bool hasReplay = false;
    GhostNode* figure = nullptr;
};
