#include "app/Hud.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>

#include "core/Console.h"
#include "core/GameSettings.h"
#include "core/GameState.h"
#include "app/Highscores.h"
#include "app/LevelFlow.h"
#include "effects/TextNode.h"

Hud::Hud(bool withTextNodes) : drawing(withTextNodes) {
    place(HINT_1, 10, 280, 20);
    place(HINT_2, 10, 260, 20);
    place(HINT_3, 10, 210, 20);
    place(HINT_4, 10, 160, 20);
    place(HINT_5, 10, 110, 20);
    place(FPS, 10, 10, 20);
    place(TIME, 10, 10, 30);
    place(LEVEL, 10, 560, 30);
    place(STATUS, 250, 570, 20);
    // Wide enough that n * h cannot overflow, whatever the height.
    const long long w = gameSettings.width;
    const long long h = gameSettings.height;
    auto below = [h](int n) { return int(h / 2 - n * h / 30); };
    place(FINISHED, int(w / 12), below(5), 30);
    place(BEST_TIME, int(w / 12), below(6), 20);
    place(NEXT, int(w / 12), below(7), 20);
    place(RESTART, int(w / 12), below(8), 20);
    // Under the level line: the end-of-level lines reach up to y 430 in a
    // window 1200 high and come down to y 47 in one 200 high, so only the
    // top of the screen stays clear of them at every height.
    place(GAUGE, 10, 520, 20);
    // Centred, just above the hints (whose top line ends at y 300).
    place(PAUSED, 280, 320, 40);
    std::snprintf(lines[PAUSED].buffer, sizeof lines[PAUSED].buffer, "Paused");
}

Hud::~Hud() = default;

void Hud::place(Line line, int x, int y, int size) {
    lines[line].x = x;
    lines[line].y = y;
    lines[line].size = size;
}

void Hud::setUp() {
    if (drawing) {
        // A missing font or text program is no reason to stop: each node says
        // so and waits, and the texts are drawn without it.
        for (std::unique_ptr<TextNode>& node : nodes) node = std::make_unique<TextNode>(console::report);
    }
    setLevelText();
    std::snprintf(lines[HINT_1].buffer, sizeof lines[HINT_1].buffer, "Use WASD, the cursor keys,");
    std::snprintf(lines[HINT_2].buffer, sizeof lines[HINT_2].buffer, "a joystick or a gamepad to steer.");
    std::snprintf(lines[HINT_3].buffer, sizeof lines[HINT_3].buffer, "Don't touch the terrain.");
    std::snprintf(lines[HINT_4].buffer, sizeof lines[HINT_4].buffer, "Fly low for a speed boost.");
    std::snprintf(lines[HINT_5].buffer, sizeof lines[HINT_5].buffer, "Press T to hide these hints.");
    lines[STATUS].text = gameState.statusMessage;
}

void Hud::setFpsText(int frames, double frameTime) {
    std::snprintf(lines[FPS].buffer, sizeof lines[FPS].buffer, "FPS:%i Frametime: %f", frames, frameTime);
}

void Hud::setTimeText() {
    std::snprintf(lines[TIME].buffer, sizeof lines[TIME].buffer, "Time:%.3f / %.3f", gameState.raceTime,
                  levelBest());
    lines[TIME].y = gameState.showFps ? 40 : 10;
}

void Hud::setLevelText() {
    // An own course is known by its name; as much of it as fits the line.
    if (flyingOwnCourse()) {
        std::snprintf(lines[LEVEL].buffer, sizeof lines[LEVEL].buffer, "Course:%.*s", OWN_NAME_CHARS,
                      gameState.ownCourse.name.c_str());
        return;
    }
    std::snprintf(lines[LEVEL].buffer, sizeof lines[LEVEL].buffer, "Level:%i", gameState.levelNumber);
}

void Hud::setGaugeText(const std::string& text) {
    std::snprintf(lines[GAUGE].buffer, sizeof lines[GAUGE].buffer, "%s", text.c_str());
}

void Hud::update(GLFWwindow* window, double frameSeconds) {
    if (keyPressedOnce(window, GLFW_KEY_T)) gameState.showHints = !gameState.showHints;
    // A message set before this point is shown for this frame's whole time.
    statusShown = gameState.messageTime > 0.0;
    gameState.messageTime -= frameSeconds;
    if (!(gameState.messageTime > 0.0)) gameState.messageTime = 0.0;
}

void Hud::drawTexts() {
    drawnLines.clear();
    if (gameState.showHints) {
        for (Line hint : {HINT_1, HINT_2, HINT_3, HINT_4, HINT_5}) draw(hint);
    }
    if (gameState.showFps) draw(FPS);
    draw(TIME);
    draw(LEVEL);
    if (statusShown) draw(STATUS);
}

void Hud::drawGaugeAndPause() {
    if (gameState.showFlightGauge) draw(GAUGE);
    if (gameState.paused) draw(PAUSED);
}

void Hud::drawFinished(double raceTime) {
    std::snprintf(lines[FINISHED].buffer, sizeof lines[FINISHED].buffer, "Finished in %.3f s", raceTime);
    draw(FINISHED);
}

void Hud::drawBestTime(double bestTime) {
    std::snprintf(lines[BEST_TIME].buffer, sizeof lines[BEST_TIME].buffer, "Highscore: %.3f s", bestTime);
    draw(BEST_TIME);
}

void Hud::drawNext(bool joystickSeen, bool lastLevel) {
    const char* text;
    if (joystickSeen) {
        text = lastLevel ? "SPACE or Joy1 = restart game" : "SPACE or Joy1 = next level";
    } else {
        text = lastLevel ? "SPACE = restart game" : "SPACE = next level";
    }
    std::snprintf(lines[NEXT].buffer, sizeof lines[NEXT].buffer, "%s", text);
    draw(NEXT);
}

void Hud::drawRestart(bool joystickSeen) {
    std::snprintf(lines[RESTART].buffer, sizeof lines[RESTART].buffer, "%s",
                  joystickSeen ? "ENTER or Joy2 = restart level" : "ENTER = restart level");
    draw(RESTART);
}

bool Hud::wasDrawn(Line line) const {
    return std::find(drawnLines.begin(), drawnLines.end(), line) != drawnLines.end();
}

void Hud::draw(Line line) {
    drawnLines.push_back(line);
    if (!drawing) return;
    if (line >= NODE_LINES) {
        drawText(lines[line].text, lines[line].x, lines[line].y, lines[line].size);
        return;
    }
    TextNode* node = nodes[line].get();
    node->text = lines[line].text;
    node->x = lines[line].x;
    node->y = lines[line].y;
    node->size = lines[line].size;
    node->draw();
}

void drawEndOfLevel(Hud& hud) {
    const GameState::EndOfLevelScreen& screen = gameState.endOfLevel;
    if (!screen.shown) return;
    hud.drawFinished(gameState.raceTime);
    if (screen.best != NO_HIGHSCORE) hud.drawBestTime(screen.best);
    hud.drawNext(gameState.joystickSeen, screen.lastLevel);
    hud.drawRestart(gameState.joystickSeen);
}
