#pragma once

#include <vector>

#include <glm/glm.hpp>

// The figure's sound in one frame: how fast the air goes by and where the
// listener is, in the terrain's space (the space of the level's lamps).
struct FlightSound {
    bool flying = false;  // false while stopped (crashed, past the finish) or paused
    float speed = 0.0f;   // the flight model's speed, units/s
    float boost = 0.0f;   // the low-flight boost on top of it, units/s
    bool flapping = false;
    glm::vec3 position{0.0f};
    glm::vec3 forward{0.0f, 0.0f, 1.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
};

// Every sound of the game is raised here, so that game logic stays free of
// the sound library and tests can record what a flight sounds like. The
// base class is silent; the game installs an OpenAL output.
class Audio {
public:
    virtual ~Audio() = default;

    // Once per frame, after the collision test: the wind, the wing flaps and
    // the listener.
    virtual void flight(const FlightSound&) {}
    // When a level has been built: its lamps (terrain space) and whether it
    // has snow clouds.
    virtual void levelBuilt(const std::vector<glm::vec3>& /*lamps*/, bool /*snow*/) {}
    // When a wing breaks off.
    virtual void wingSnapped() {}
    // When the body hits the ground in flight.
    virtual void bodyHit() {}
    // When the end-of-level screen first shows.
    virtual void finished() {}
    // Once for each second of the level-change countdown.
    virtual void countdownTick() {}
    // When M mutes or unmutes.
    virtual void setMuted(bool /*muted*/) {}

    // The output in use: silence unless one is installed.
    static Audio& current();
    // Installs an output (not owned); nullptr restores silence.
    static void install(Audio* output);
};
