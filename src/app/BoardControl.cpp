#include "app/BoardControl.h"

#include <GLFW/glfw3.h>

#include <cstdio>
#include <set>

#include "app/CourseTimes.h"
#include "app/Highscores.h"
#include "app/OwnCourses.h"
#include "core/Gamepad.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "player/PlayerNode.h"

namespace {

// How far the stick must be pushed to move the selection by one row.
constexpr float STICK_STEP = 0.5f;

}  // namespace

BoardControl::BoardControl(LevelCatalogue catalogue) : shippedLevels(catalogue), levels(std::move(catalogue)) {}

bool BoardControl::isOpen() const { return gameState.boardOpen; }

BoardControl::GamepadEdges BoardControl::readGamepads() const {
    GamepadEdges held;
    if (!gameState.player) return held;
    Input& input = Input::current();
    for (int id : gameState.player->joysticks) {
        Gamepad pad;
        if (!input.joystickPresent(id) || !Gamepad::read(input, id, pad)) continue;
        held.back = held.back || pad.back;
        held.next = held.next || pad.next;
        // The stick pushed away from the player points up the list.
        held.up = held.up || pad.up || pad.pitch < -STICK_STEP;
        held.down = held.down || pad.down || pad.pitch > STICK_STEP;
    }
    return held;
}

bool BoardControl::clicked(GLFWwindow* window, double& x, double& y) {
    Input& input = Input::current();
    const bool down = input.mouseButtonDown(window);
    const bool press = down && !mouseWasDown;
    mouseWasDown = down;
    double fx = 0.0, fy = 0.0;
    if (!press || !input.cursorPosition(window, fx, fy)) return false;
    x = fx * 800.0;
    y = (1.0 - fy) * 600.0;
    return true;
}

BoardControl::Event BoardControl::readInput(GLFWwindow* window) {
    const GamepadEdges pad = readGamepads();
    GamepadEdges pressed;
    pressed.back = pad.back && !padWasHeld.back;
    pressed.next = pad.next && !padWasHeld.next;
    pressed.up = pad.up && !padWasHeld.up;
    pressed.down = pad.down && !padWasHeld.down;
    padWasHeld = pad;

    KeyBindings& keys = gameState.keyBindings;
    const bool toggle = keys.pressedOnce(window, KeyBindings::BOARD) || pressed.back;
    if (!gameState.boardOpen) {
        if (!toggle) return Event::None;
        open(window);
        return Event::Opened;
    }
    if (toggle) {
        close(window);
        std::printf("Level board closed\n");
        std::fflush(stdout);
        return Event::Closed;
    }

    // Both keys of a pair are read every frame, so that each one's flag
    // follows it.
    const bool up = keyPressedOnce(window, GLFW_KEY_UP) | keyPressedOnce(window, GLFW_KEY_W);
    const bool down = keyPressedOnce(window, GLFW_KEY_DOWN) | keyPressedOnce(window, GLFW_KEY_S);
    if (up || pressed.up) rows.move(-1);
    if (down || pressed.down) rows.move(1);

    bool fly = keyPressedOnce(window, GLFW_KEY_ENTER) | keyPressedOnce(window, GLFW_KEY_KP_ENTER);
    fly = fly || pressed.next;
    double x = 0.0, y = 0.0;
    if (clicked(window, x, y)) {
        const int row = rows.rowAt(x, y);
        if (row >= 0 && rows.click(row)) fly = true;
    }
    if (!fly) return Event::None;
    const int level = rows.selectedLevel();
    const LevelCatalogue::Entry* entry = levels.find(level);
    const bool own = entry && entry->kind == LevelCatalogue::Kind::Own;
    // A course not yet checked is checked now, before it is flown.
    if (own && ownCourses && !ownCourses->checkNow(level)) refresh();
    entry = levels.find(level);
    if (!rows.selectedPlayable() || !entry) {
        if (own) {
            std::printf("Course %s cannot be flown: %s\n", entry->name.c_str(), entry->unplayableReason.c_str());
        } else {
            std::printf("Level %d cannot be flown\n", level);
        }
        std::fflush(stdout);
        return Event::None;
    }
    flown = level;
    if (own) gameState.ownCourse = {entry->number, entry->mapPath, entry->name, entry->key};
    close(window);
    // Flying a level is playing again, also after a P pause.
    gameState.paused = false;
    if (own) {
        std::printf("Flying course %s from the board\n", entry->name.c_str());
    } else {
        std::printf("Flying level %d from the board\n", flown);
    }
    std::fflush(stdout);
    return Event::Fly;
}

void BoardControl::work(int steps) {
    if (gameState.boardOpen && ownCourses && ownCourses->work(steps)) refresh();
}

void BoardControl::refresh() {
    levels = shippedLevels;
    std::map<int, double> best = highscores;
    gameState.ownCourses.clear();
    if (ownCourses) {
        for (const LevelCatalogue::Entry& entry : ownCourses->entries()) {
            levels.add(entry);
            best[entry.number] = courseTimes.best(entry.key);
            if (entry.playable) gameState.ownCourses.push_back({entry.number, entry.mapPath, entry.name, entry.key});
            // Asked once per course and content, like a level's.
            if (!ghosts.count(entry.number) && hasGhost && hasGhost(entry.number)) ghosts.insert(entry.number);
        }
    }
    rows.fill(levels, best, ghosts);
}

void BoardControl::open(GLFWwindow* window) {
    // A course dropped into the folder while the game runs shows up now.
    if (ownCourses) ownCourses->list();
    ghosts.clear();
    for (const LevelCatalogue::Entry& entry : shippedLevels.entries()) {
        if (hasGhost && hasGhost(entry.number)) ghosts.insert(entry.number);
    }
    refresh();
    rows.select(gameState.levelNumber);
    gameState.boardOpen = true;
    // Nothing held from the flight acts in the board, nor a click made
    // before it opened.
    gameState.keyBindings.ignoreHeldKeys(window);
    mouseWasDown = Input::current().mouseButtonDown(window);
    std::printf("Level board at %.3f s\n", gameState.raceTime);
    std::fflush(stdout);
}

void BoardControl::close(GLFWwindow* window) {
    gameState.boardOpen = false;
    gameState.keyBindings.ignoreHeldKeys(window);
}
