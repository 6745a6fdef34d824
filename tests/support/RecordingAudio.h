#pragma once

#include <string>
#include <vector>

#include "core/Audio.h"

// Installs itself as the game's audio output for its lifetime and writes
// down every sound event ("snap", "thud", "chime", "tick", "level", "mute",
// "unmute") and each frame's flight report.
class RecordingAudio : public Audio {
public:
    RecordingAudio() { Audio::install(this); }
    ~RecordingAudio() override { Audio::install(nullptr); }

    int count(const std::string& event) const;

    void flight(const FlightSound& sound) override { flights.push_back(sound); }
    void levelBuilt(const std::vector<glm::vec3>& lampPositions, bool snowing) override;
    void wingSnapped() override { events.push_back("snap"); }
    void bodyHit() override { events.push_back("thud"); }
    void finished() override { events.push_back("chime"); }
    void countdownTick() override { events.push_back("tick"); }
    void setMuted(bool muted) override { events.push_back(muted ? "mute" : "unmute"); }

    std::vector<std::string> events;
    std::vector<FlightSound> flights;
    std::vector<glm::vec3> lamps;
    bool snow = false;
};
