#include "app/OpenAlAudio.h"

#include <AL/al.h>
#include <AL/alext.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/WavSound.h"
#include "app/WindSetting.h"

namespace {

const char* const FILE_NAMES[] = {"wind.wav", "whoosh.wav", "snap.wav", "thud.wav",
                                  "chime.wav", "tick.wav", "hum.wav", "hiss.wav"};

// Loudness of each sound against the others (the wind's follows the speed).
const float SOUND_GAINS[] = {0.7f, 0.4f, 0.7f, 0.9f, 0.7f, 0.6f, 0.15f, 0.2f};

// More lamps than any level has; a level with more hears the first ones.
constexpr std::size_t MAX_LAMP_SOURCES = 64;

// ALSA and OpenAL Soft describe on stderr every output they try and fail to
// open; the game's own console line says all that matters. A user who set
// ALSOFT_LOGLEVEL gets the library's lines as asked.
ALCdevice* openDefaultDeviceQuietly(bool quiet) {
    if (!quiet) return alcOpenDevice(nullptr);
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int sink = open("/dev/null", O_WRONLY);
    if (saved < 0 || sink < 0) {
        if (saved >= 0) close(saved);
        if (sink >= 0) close(sink);
        return alcOpenDevice(nullptr);
    }
    dup2(sink, STDERR_FILENO);
    close(sink);
    ALCdevice* opened = alcOpenDevice(nullptr);
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    return opened;
}

}  // namespace

OpenAlAudio::OpenAlAudio(int volume, const std::string& folder)
    : volume(std::clamp(volume, 0, 100) / 100.0f) {
    if (volume <= 0) {
        std::printf("Sound off: SOUND_VOLUME is 0\n");
        return;
    }
    std::vector<WavSound> sounds;
    if (!loadSounds(folder, sounds)) return;
    if (!openDevice()) return;
    if (!createSources(sounds)) return;
    std::printf("Sound on: %s at volume %i\n", alcGetString(device, ALC_DEVICE_SPECIFIER),
                std::clamp(volume, 0, 100));
}

OpenAlAudio::~OpenAlAudio() { release(); }

bool OpenAlAudio::loadSounds(const std::string& folder, std::vector<WavSound>& sounds) {
    for (const char* name : FILE_NAMES) {
        sounds.push_back(readWav(folder + name));
        if (!sounds.back().error.empty()) {
            std::printf("Sound off: %s%s: %s\n", folder.c_str(), name, sounds.back().error.c_str());
            return false;
        }
    }
    return true;
}

bool OpenAlAudio::openDevice() {
    // OpenAL Soft reads its log level when first used; its failures are
    // reported here, once, in the game's words.
    const bool quiet = std::getenv("ALSOFT_LOGLEVEL") == nullptr;
    if (quiet) setenv("ALSOFT_LOGLEVEL", "0", 1);
    device = openDefaultDeviceQuietly(quiet);
    if (!device) {
        std::printf("Sound off: no audio device could be opened\n");
        return false;
    }
    context = alcCreateContext(device, nullptr);
    if (!context || alcMakeContextCurrent(context) != ALC_TRUE) {
        shutDown("the audio device refused a mixing context");
        return false;
    }
    return true;
}

bool OpenAlAudio::createSources(const std::vector<WavSound>& sounds) {
    alGetError();
    alGenBuffers(SOUND_COUNT, buffers);
    for (int i = 0; i < SOUND_COUNT; ++i) {
        const WavSound& sound = sounds[i];
        alBufferData(buffers[i], sound.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, sound.samples.data(),
                     ALsizei(sound.samples.size() * sizeof(int16_t)), sound.sampleRate);
    }
    alGenSources(SOUND_COUNT, sources);
    for (int i = 0; i < SOUND_COUNT; ++i) {
        // Everything but the lamps sounds from the listener's own place.
        alSourcei(sources[i], AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(sources[i], AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcei(sources[i], AL_BUFFER, ALint(buffers[i]));
        alSourcef(sources[i], AL_GAIN, SOUND_GAINS[i]);
        alSourcei(sources[i], AL_LOOPING, i == WIND || i == WHOOSH || i == HISS ? AL_TRUE : AL_FALSE);
    }
    alSourcef(sources[WIND], AL_GAIN, 0.0f);
    // Steeper than the inverse model: the many far lamps of a lamp-lined
    // valley must not drown the ones flying past.
    alDistanceModel(AL_EXPONENT_DISTANCE_CLAMPED);
    alListenerf(AL_GAIN, volume);
    if (shutDownOnError("OpenAL could not take the sounds (error 0x%x)")) return false;
    nextCheck = std::chrono::steady_clock::now();
    return true;
}

void OpenAlAudio::flight(const FlightSound& sound) {
    if (!context || failedSinceLastCheck()) return;
    const WindSetting wind = windSetting(sound);
    alSourcef(sources[WIND], AL_GAIN, wind.gain * SOUND_GAINS[WIND]);
    alSourcef(sources[WIND], AL_PITCH, wind.pitch);
    if (!windPlaying) {
        alSourcePlay(sources[WIND]);
        windPlaying = true;
    }

    const bool flap = sound.flapping && sound.flying;
    if (flap != flapping) {
        flapping = flap;
        ALint state = AL_STOPPED;
        alGetSourcei(sources[WHOOSH], AL_SOURCE_STATE, &state);
        // A released key lets the beat under way end instead of cutting it.
        alSourcei(sources[WHOOSH], AL_LOOPING, flap ? AL_TRUE : AL_FALSE);
        if (flap && state != AL_PLAYING) alSourcePlay(sources[WHOOSH]);
    }

    const float orientation[6] = {sound.forward.x, sound.forward.y, sound.forward.z,
                                  sound.up.x,      sound.up.y,      sound.up.z};
    alListener3f(AL_POSITION, sound.position.x, sound.position.y, sound.position.z);
    alListenerfv(AL_ORIENTATION, orientation);
}

void OpenAlAudio::levelBuilt(const std::vector<glm::vec3>& lamps, bool snow) {
    if (!context) return;
    deleteLampSources();
    const std::size_t count = std::min(lamps.size(), MAX_LAMP_SOURCES);
    lampSources.resize(count);
    if (count > 0) alGenSources(ALsizei(count), lampSources.data());
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned source = lampSources[i];
        alSourcei(source, AL_BUFFER, ALint(buffers[HUM]));
        alSourcei(source, AL_LOOPING, AL_TRUE);
        alSourcef(source, AL_GAIN, SOUND_GAINS[HUM]);
        // Full within 60 units (flying past a bank), a tenth from mid-valley
        // (about 280 units), a thirtieth at 600.
        alSourcef(source, AL_REFERENCE_DISTANCE, 60.0f);
        alSourcef(source, AL_ROLLOFF_FACTOR, 1.5f);
        alSourcef(source, AL_MAX_DISTANCE, 2000.0f);
        alSource3f(source, AL_POSITION, lamps[i].x, lamps[i].y, lamps[i].z);
        // Each lamp a little off the others in phase and pitch, so that a row
        // of them does not add up to one loud buzz.
        alSourcef(source, AL_SEC_OFFSET, float((i * 37) % 100) * 0.01f);
        alSourcef(source, AL_PITCH, 0.995f + 0.0025f * float((i * 3) % 5));
        alSourcePlay(source);
    }
    if (snow) {
        alSourcePlay(sources[HISS]);
    } else {
        alSourceStop(sources[HISS]);
    }
}

void OpenAlAudio::playOnce(Sound sound) {
    // Playing a source that still plays starts it over.
    if (context) alSourcePlay(sources[sound]);
}

void OpenAlAudio::wingSnapped() { playOnce(SNAP); }

void OpenAlAudio::bodyHit() { playOnce(THUD); }

void OpenAlAudio::finished() { playOnce(CHIME); }

void OpenAlAudio::countdownTick() { playOnce(TICK); }

void OpenAlAudio::setMuted(bool mute) {
    muted = mute;
    if (context) alListenerf(AL_GAIN, muted ? 0.0f : volume);
}

bool OpenAlAudio::failedSinceLastCheck() {
    const auto now = std::chrono::steady_clock::now();
    if (now < nextCheck) return false;
    nextCheck = now + std::chrono::milliseconds(500);
    ALCint connected = ALC_TRUE;
    if (alcIsExtensionPresent(device, "ALC_EXT_disconnect")) alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    if (!connected) {
        shutDown("the audio device stopped working");
        return true;
    }
    return shutDownOnError("OpenAL error 0x%x");
}

bool OpenAlAudio::shutDownOnError(const char* format) {
    const ALenum error = alGetError();
    if (error == AL_NO_ERROR) return false;
    char why[96];
    std::snprintf(why, sizeof why, format, unsigned(error));
    shutDown(why);
    return true;
}

void OpenAlAudio::deleteLampSources() {
    if (lampSources.empty()) return;
    alSourceStopv(ALsizei(lampSources.size()), lampSources.data());
    alDeleteSources(ALsizei(lampSources.size()), lampSources.data());
    lampSources.clear();
}

void OpenAlAudio::shutDown(const std::string& why) {
    std::printf("Sound off: %s\n", why.c_str());
    std::fflush(stdout);
    release();
}

void OpenAlAudio::release() {
    if (context) {
        deleteLampSources();
        // Sources go first: a buffer still attached cannot be deleted. Names
        // never made are 0, which OpenAL ignores among buffers only.
        if (sources[0] != 0) {
            alSourceStopv(SOUND_COUNT, sources);
            alDeleteSources(SOUND_COUNT, sources);
        }
        alDeleteBuffers(SOUND_COUNT, buffers);
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        context = nullptr;
    }
    if (device) {
        alcCloseDevice(device);
        device = nullptr;
    }
    std::fill(std::begin(sources), std::end(sources), 0u);
    std::fill(std::begin(buffers), std::end(buffers), 0u);
    windPlaying = false;
    flapping = false;
}
