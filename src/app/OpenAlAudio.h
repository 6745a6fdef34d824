#pragma once

#include <AL/alc.h>

#include <chrono>
#include <string>
#include <vector>

#include "core/Audio.h"

struct WavSound;

// Plays the game's sounds through OpenAL Soft, which mixes them on its own
// thread: the calls here only hand over new settings and never wait for the
// mix. Every failure (no device, a device lost later, a missing or broken
// WAV file, an OpenAL error) prints one console line and leaves the game
// silent for the rest of the run.
class OpenAlAudio : public Audio {
public:
    // Reads the sounds from `folder` ("Sounds/") and opens the default output
    // device at `volume` (0 to 100); at 0 nothing is read or opened.
    OpenAlAudio(int volume, const std::string& folder);
    ~OpenAlAudio() override;
    OpenAlAudio(const OpenAlAudio&) = delete;
    OpenAlAudio& operator=(const OpenAlAudio&) = delete;

    // True while a device plays.
    bool active() const { return context != nullptr; }

    void flight(const FlightSound& sound) override;
    void levelBuilt(const std::vector<glm::vec3>& lamps, bool snow) override;
    void wingSnapped() override;
    void bodyHit() override;
    void finished() override;
    void countdownTick() override;
    void setMuted(bool muted) override;

private:
    enum Sound { WIND, WHOOSH, SNAP, THUD, CHIME, TICK, HUM, HISS, SOUND_COUNT };

    bool loadSounds(const std::string& folder, std::vector<WavSound>& sounds);
    bool openDevice();
    bool createSources(const std::vector<WavSound>& sounds);
    void playOnce(Sound sound);
    void deleteLampSources();
    // Twice a second at most: whether the device or OpenAL has failed since.
    bool failedSinceLastCheck();
    // Prints "Sound off: <why>" and releases everything.
    void shutDown(const std::string& why);
    // Shuts down when OpenAL has an error pending, worded by `format` (one %x
    // for the code); true then.
    bool shutDownOnError(const char* format);
    void release();

    float volume;
    bool muted = false;
    bool flapping = false;
    bool windPlaying = false;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    unsigned buffers[SOUND_COUNT] = {};
    // One source per sound; the hum plays from one source per lamp instead.
    unsigned sources[SOUND_COUNT] = {};
    std::vector<unsigned> lampSources;
    std::chrono::steady_clock::time_point nextCheck;
};
