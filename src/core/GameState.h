#pragma once

#include <string>
#include <vector>

#include "core/KeyBindings.h"
#include "core/LevelConstants.h"

class Node;
class PlayerNode;

// GLFW's key codes run from 0 to GLFW_KEY_LAST (checked where GLFW is known).
constexpr int KEY_CODE_COUNT = 349;

struct GLFWwindow;

// The game's process-wide state: one instance for the whole run.
struct GameState {
    bool running = true;
    bool motionBlur = true;
    int cameraDistance = -5;
    int terrainExtent[2] = {LEVEL_TERRAIN_EXTENT, LEVEL_TERRAIN_EXTENT};

    Node* sceneRoot = nullptr;
    Node* terrain = nullptr;  // the current level's terrain, for the finish test
    PlayerNode* player = nullptr;

    // Level flow and race clock.
    int levelNumber = 1;
    double raceTime = 0.0;  // exactly 0.0: the run has not started
    bool levelChangePending = false;
    double levelChangeCountdown = -1.0;  // exactly -1.0: no change under way
    // A course of the player's own (levels/NAME.png): level numbers above
    // LEVEL_COUNT are these. The key names its best time and ghost.
    struct OwnCourse {
        int number = 0;
        std::string map, name, key;
    };
    // The one flown while levelNumber is above LEVEL_COUNT.
    OwnCourse ownCourse;
    // Those SPACE goes through after it, in the board's order as it last
    // listed them; after the last comes level 1.
    std::vector<OwnCourse> ownCourses;
    // What the end-of-level screen shows this frame: decided in the update,
    // drawn afterwards.
    struct EndOfLevelScreen {
        bool shown = false;
        double best = 0.0;  // the level's best time before this frame
        bool lastLevel = false;
    } endOfLevel;

    // HUD.
    char statusMessage[256] = "";
    double messageTime = 0.0;
    bool showHints = true;
    bool showFps = false;

    // Render toggles.
    bool wireframe = false;
    // The share of the window's width and height the scene is drawn at.
    float renderScale = 1.0f;

    // M: the sound is muted.
    bool soundMuted = false;

    // Joystick buttons of the last joystick that answered this pass.
    bool joystickSeen = false;
    std::vector<unsigned char> joystickButtons;
    int joystickButtonCount = 0;

    // Pause (P, a gamepad's Start, focus loss), the flight gauge (V) and the
    // ghost of the best run (G).
    bool paused = false;
    bool showFlightGauge = true;
    bool showGhost = true;
    // The level board is open (Tab): the flight stands still as when paused.
    bool boardOpen = false;
    // A recognised gamepad's Start button is held this pass.
    bool gamepadStartHeld = false;

    // The keys of the flight, the level keys, pause and the board
    // (controls.ini).
    KeyBindings keyBindings;

    // Edge detection for single key presses.
    bool keyWasDown[KEY_CODE_COUNT] = {};
};

extern GameState gameState;

// True once per press: the key reads pressed now and did not when this key
// was last tested. A key's flag changes only in passes that test that key.
bool keyPressedOnce(GLFWwindow* window, int key);
