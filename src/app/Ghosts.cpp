#include "app/Ghosts.h"

#include <cstdio>

#include "core/GameState.h"
#include "app/CourseTimes.h"
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

void Ghosts::setUp(ShaderFailure& failure) { figure = assembleGhost(failure); }

std::string Ghosts::fileName(int level, const std::string& courseKey) {
    if (level > LEVEL_COUNT) return CourseTimes::ghostFileName(courseKey);
    return "level" + std::to_string(level) + ".ghost";
}

void Ghosts::levelStarted(int level) {
    const bool own = level > LEVEL_COUNT;
    current = fileName(level, gameState.ownCourse.key);
    label = own ? "course " + gameState.ownCourse.name : "level " + std::to_string(level);
    hasReplay = false;
    auto found = kept.find(current);
    if (found != kept.end()) {
        replay = found->second;
        hasReplay = true;
        return;
    }
    std::string why;
    if (readGhostFileNamed(folder, current, own ? 0 : level, replay, why)) {
        hasReplay = true;
        std::printf("Ghost of %s loaded: %zu samples\n", label.c_str(), replay.samples.size());
    } else {
        std::printf("No ghost for %s: %s/%s %s\n", label.c_str(), folder.c_str(), current.c_str(), why.c_str());
    }
    std::fflush(stdout);
}

bool Ghosts::hasGhost(int level, const std::string& courseKey) {
    const std::string file = fileName(level, courseKey);
    if (kept.count(file)) return true;
    auto known = onDisk.find(file);
    if (known != onDisk.end()) return known->second;
    GhostTrack track;
    std::string why;
    return onDisk[file] = readGhostFileNamed(folder, file, level > LEVEL_COUNT ? 0 : level, track, why);
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
        kept[current] = run;
        unsaved[current] = label;
        replay = run;
        hasReplay = true;
        std::printf("Ghost of %s kept: %zu samples\n", label.c_str(), run.samples.size());
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
    for (const auto& file : unsaved) {
        std::string why;
        if (writeGhostFileNamed(folder, file.first, kept[file.first], why)) {
            std::printf("Ghost saved: %s/%s\n", folder.c_str(), file.first.c_str());
        } else {
            std::printf("Ghost of %s not saved: %s\n", file.second.c_str(), why.c_str());
        }
    }
    unsaved.clear();
    std::fflush(stdout);
}
