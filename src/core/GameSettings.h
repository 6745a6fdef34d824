#pragma once

#include <string>

// The window and sound settings read from config.ini; written only by
// readConfig.
struct GameSettings {
    int width = 800;
    int height = 600;
    int refreshRate = 60;
    bool fullscreen = false;
    int soundVolume = 80;  // 0 to 100; 0 opens no audio device
};

extern GameSettings gameSettings;

// Reads "config.ini" from the working directory into gameSettings and prints
// the summary (or "config.ini not found", also for a path that is not a
// regular file).
void readConfig();
void readConfig(const std::string& path);

// Applies one line of the file; lines that name no key or carry no number
// change nothing.
void applyConfigLine(GameSettings& settings, const std::string& line);

// Cuts a window size above maxWidth x maxHeight to it (limits of 0 or less
// are ignored). A size below 1 stays: no window can have it, and start-up
// fails on it before GLFW sees it. True when the size changed.
bool fitWindowSize(GameSettings& settings, int maxWidth, int maxHeight);
