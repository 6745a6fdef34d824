#pragma once

#include <map>
#include <set>
#include <string>

#include "app/GhostRecorder.h"
#include "player/GhostTrack.h"

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

    // Imports the figure; without it the game still records and saves.
    void setUp();
    // A level was built: its best run from this session or from its file.
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

    // A run of `level` is kept from this session or its file reads; each
    // file is read once, on the first question.
    bool hasGhost(int level);

    const GhostTrack* replayed() const { return hasReplay ? &replay : nullptr; }

private:
    std::string folder;
    GhostRecorder recorder;
    std::map<int, GhostTrack> kept;  // new best runs of this session
    std::set<int> unsaved;
    std::map<int, bool> onDisk;  // levels whose file was read: usable or not
    GhostTrack replay;
    bool hasReplay = false;
    GhostNode* figure = nullptr;
};
