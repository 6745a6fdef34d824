#include "app/Ghosts.h"

#include <cstdio>

#include "core/GameState.h"
#include "app/GhostFile.h"
#include "player/GhostNode.h"
#include "player/PlayerNode.h"

namespace {

// The figure's pose in the terrain's space.
GhostPose playerPose() {
    const glm::mat4 pose = gameState.player->poseIn(gameState.terrain);
    GhostPose ghost;
    ghost.position = glm::vec3(pose[3]);
    const glm::mat3 axes(glm::normalize(glm::vec3(pose[0])), glm::normalize(glm::vec3(pose[1])),
                         glm::normalize(glm::vec3(pose[2])));
    ghost.orientation = glm::normalize(glm::quat_cast(axes));
    return ghost;
}

}  // namespace

Ghosts::~Ghosts() { delete figure; }

void Ghosts::setUp() { figure = assembleGhost(); }

void Ghosts::levelStarted(int level) {
    hasReplay = false;
    auto found = kept.find(level);
    if (found != kept.end()) {
        replay = found->second;
        hasReplay = true;
        return;
    }
    std::string why;
    if (readGhostFile(folder, level, replay, why)) {
        hasReplay = true;
        std::printf("Ghost of level %d loaded: %zu samples\n", level, replay.samples.size());
    } else {
        std::printf("No ghost for level %d: %s %s\n", level, ghostFilePath(folder, level).c_str(), why.c_str());
    }
    std::fflush(stdout);
}

bool Ghosts::hasGhost(int level) {
    if (kept.count(level)) return true;
    auto known = onDisk.find(level);
    if (known != onDisk.end()) return known->second;
    GhostTrack track;
    std::string why;
    return onDisk[level] = readGhostFile(folder, level, track, why);
}

void Ghosts::afterStep(bool runStarted) {
    if (!gameState.player) return;
    recorder.afterStep(runStarted, gameState.levelNumber, gameState.raceTime, playerPose());
}

void Ghosts::afterFrame() {
    const GameState::EndOfLevelScreen& screen = gameState.endOfLevel;
    // The first frame of the end-of-level screen after a faster run than the
    // best time before it; an equal time is no new best.
    const bool newBest = screen.shown && gameState.raceTime != 0.0 && screen.best > gameState.raceTime;
    const GhostTrack& run = recorder.run();
    if (newBest && recorder.usable() && run.level == gameState.levelNumber) {
        kept[run.level] = run;
        unsaved.insert(run.level);
        replay = run;
        hasReplay = true;
        std::printf("Ghost of level %d kept: %zu samples\n", run.level, run.samples.size());
        std::fflush(stdout);
    }
    if (figure && hasReplay && gameState.terrain) {
        figure->place(gameState.terrain->getWorldMatrix(), replay.poseAt(gameState.raceTime));
    }
}

void Ghosts::drawTransparent() {
    if (figure && hasReplay && gameState.showGhost) figure->drawTransparent();
}

void Ghosts::save() {
    for (int level : unsaved) {
        std::string why;
        if (writeGhostFile(folder, kept[level], why)) {
            std::printf("Ghost saved: %s\n", ghostFilePath(folder, level).c_str());
        } else {
            std::printf("Ghost of level %d not saved: %s\n", level, why.c_str());
        }
    }
    unsaved.clear();
    std::fflush(stdout);
}
