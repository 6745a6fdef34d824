#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

struct GLFWwindow;

// Which keys do what, for the actions a player may move to other keys:
// the flight, the level keys, pause and the level board. Read from
// controls.ini at start-up; every action it does not list keeps today's keys.
// Escape and the setting keys are not among them and cannot be taken.
class KeyBindings {
public:
    enum Action { NOSE_DOWN, NOSE_UP, ROLL_LEFT, ROLL_RIGHT, FLAP, RESTART, NEXT_LEVEL, PAUSE, BOARD, ACTION_COUNT };

    KeyBindings();

    // Applies the text of a controls.ini. Each line is `ACTION=KEY KEY ...`;
    // blank lines and lines starting with # or ; are comments. A bad line
    // changes nothing and adds one message to `problems` (without the file
    // name): its number, its text and why.
    void parse(const std::string& text, std::vector<std::string>& problems);
    // Reads `path` (a missing file means the defaults) and prints one console
    // line per bad line, naming the file.
    void readFile(const std::string& path);

    const std::vector<int>& keys(Action action) const { return bound[action]; }
    // "NOSE_DOWN" and so on, as the file names the actions.
    static const char* actionName(Action action);
    // A GLFW key code by its GLFW name without the prefix ("KP_8"), any case;
    // -1 for none. And back: the name of a code, "?" for none.
    static int keyCode(const std::string& name);
    static std::string keyName(int code);
    // A key kept for itself: Escape and the setting keys.
    static bool reserved(int code);

    // Any of the action's keys is held. A key swallowed by ignoreHeldKeys
    // counts as released until it has been seen released.
    bool held(GLFWwindow* window, Action action);
    // Any of the action's keys was pressed since it was last tested (the
    // game's single-press rule, per key).
    bool pressedOnce(GLFWwindow* window, Action action);
    // Every key held now (or pressed and released since it was last read)
    // does nothing until released: a menu that closes does not hand the key
    // that closed it, or one held in it, to the flight.
    void ignoreHeldKeys(GLFWwindow* window);

private:
    std::array<std::vector<int>, ACTION_COUNT> bound;
    std::set<int> swallowed;
};
