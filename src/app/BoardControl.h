#pragma once

#include <functional>

#include "app/LevelBoard.h"
#include "world/LevelCatalogue.h"

struct GLFWwindow;

// The level board as a game screen: Tab (the BOARD keys) or a gamepad's
// Back opens it over the game and closes it again; while it is open the
// flight stands still as when paused, and it owns the keys: Up/Down or W/S,
// the d-pad or the stick choose, Enter or A flies the chosen level, and a
// click selects a row or, on the selected row, flies it. Keys held when it
// opens or closes act on nothing until released.
class BoardControl {
public:
    enum class Event { None, Opened, Closed, Fly };

    explicit BoardControl(LevelCatalogue catalogue = LevelCatalogue::shipped());

    // Once per frame, after Escape and before any other key is read. On Fly
    // the board has closed and flownLevel() says which level to build.
    Event readInput(GLFWwindow* window);

    bool isOpen() const;
    int flownLevel() const { return flown; }
    const LevelBoard& board() const { return rows; }
    const LevelCatalogue& catalogue() const { return levels; }

    // Whether a level has a ghost to show, asked as the board opens.
    std::function<bool(int level)> hasGhost;

private:
    struct GamepadEdges {
        bool back = false, next = false, up = false, down = false;
    };
    void open(GLFWwindow* window);
    void close(GLFWwindow* window);
    // The gamepads of the player's joystick list, read together.
    GamepadEdges readGamepads() const;
    // The text-screen point under the cursor at a new click, or false.
    bool clicked(GLFWwindow* window, double& x, double& y);

    LevelCatalogue levels;
    LevelBoard rows;
    GamepadEdges padWasHeld;
    bool mouseWasDown = false;
    int flown = 0;
};
