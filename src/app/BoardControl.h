#pragma once

#include <functional>
#include <set>

#include "app/LevelBoard.h"
#include "world/LevelCatalogue.h"

struct GLFWwindow;

// The level board as a game screen: Tab (the BOARD keys) or a gamepad's
// Back opens it over the game and closes it again; while it is open the
// flight stands still as when paused, and it owns the keys: Up/Down or W/S,
// the d-pad or the stick choose, Enter or A flies the chosen level, and a
// click selects a row or, on the selected row, flies it. Keys held when it
// opens or closes act on nothing until released.
class OwnCourses;

class BoardControl {
public:
    enum class Event { None, Opened, Closed, Fly };

    explicit BoardControl(LevelCatalogue catalogue = LevelCatalogue::shipped());

    // Once per frame, after Escape and before any other key is read. On Fly
    // the board has closed and flownLevel() says which level to build; for
    // an own course gameState.ownCourse is set.
    Event readInput(GLFWwindow* window);
    // Once per frame while the board is open: works the own courses' checks
    // and par times out for about `steps` flight steps, and shows what is
    // found.
    void work(int steps);

    bool isOpen() const;
    int flownLevel() const { return flown; }
    const LevelBoard& board() const { return rows; }
    const LevelCatalogue& catalogue() const { return levels; }

    // Whether a level has a ghost to show, asked as the board opens.
    std::function<bool(int level)> hasGhost;
    // The player's own courses, listed after the ten each time the board
    // opens; none without.
    OwnCourses* ownCourses = nullptr;

private:
    struct GamepadEdges {
        bool back = false, next = false, up = false, down = false;
    };
    void open(GLFWwindow* window);
    // The rows again from the shipped levels, the own courses and the best
    // times and ghosts; the selection stays.
    void refresh();
    void close(GLFWwindow* window);
    // The gamepads of the player's joystick list, read together.
    GamepadEdges readGamepads() const;
    // The text-screen point under the cursor at a new click, or false.
    bool clicked(GLFWwindow* window, double& x, double& y);

    LevelCatalogue shippedLevels;
    LevelCatalogue levels;
    std::set<int> ghosts;
    LevelBoard rows;
    GamepadEdges padWasHeld;
    bool mouseWasDown = false;
    int flown = 0;
};
