#pragma once

#include <memory>
#include <string>
#include <vector>

struct GLFWwindow;
class TextNode;

// The on-screen text lines: hints, frame rate, race time, level, the status
// message and the end-of-level lines. Positions are in the 800 x 600 text
// screen, origin bottom-left; the end-of-level lines follow the window size.
class Hud {
public:
    enum Line {
        HINT_1, HINT_2, HINT_3, HINT_4, HINT_5,
        FPS, TIME, LEVEL, STATUS,
        FINISHED, BEST_TIME, NEXT, RESTART,
        GAUGE, PAUSED,
        LINE_COUNT
    };
    // The lines before GAUGE are text nodes of their own; the gauge and
    // "Paused" are drawn with the nodes' shared font and program, so the
    // game builds no more text nodes than it always has.
    static constexpr int NODE_LINES = GAUGE;
    // Characters of an own course's name on the level line: "Course:NAME"
    // then spans at most the 800-unit width at size 30.
    static constexpr int OWN_NAME_CHARS = 19;

    // With `withTextNodes` false nothing is drawn (no GL needed); the lines
    // are still formatted and every draw is recorded in drawnLines.
    explicit Hud(bool withTextNodes = true);
    ~Hud();
    Hud(const Hud&) = delete;
    Hud& operator=(const Hud&) = delete;

    // Set-up: the text nodes, level line, hint texts, status line on
    // statusMessage. A text node that misses its font or program says so on
    // the console and waits for Enter, once per node.
    void setUp();
    void setFpsText(int frames, double frameTime);
    // The time line against the current level's best time; its height
    // follows showFps as it is at this moment.
    void setTimeText();
    void setLevelText();
    void setGaugeText(const std::string& text);

    // Each frame's update, after the setting keys: T toggles the hints and
    // the status message runs down by the frame's real time.
    void update(GLFWwindow* window, double frameSeconds);
    // The text part of a frame: hints, FPS, time, level and status lines.
    void drawTexts();
    // After the texts: the flight gauge while it is on, "Paused" while paused.
    void drawGaugeAndPause();

    // The end-of-level lines, each formatted and drawn at once.
    void drawFinished(double raceTime);
    void drawBestTime(double bestTime);
    void drawNext(bool joystickSeen, bool lastLevel);
    void drawRestart(bool joystickSeen);

    const char* text(Line line) const { return lines[line].text; }
    int x(Line line) const { return lines[line].x; }
    int y(Line line) const { return lines[line].y; }
    int size(Line line) const { return lines[line].size; }

    // Lines drawn since the start of the last text part, in drawing order.
    std::vector<Line> drawnLines;
    bool wasDrawn(Line line) const;

private:
    struct TextLine {
        char buffer[256] = "";
        const char* text = buffer;
        int x = 0, y = 0, size = 0;
    };

    void place(Line line, int x, int y, int size);
    void draw(Line line);

    TextLine lines[LINE_COUNT];
    bool statusShown = false;
    bool drawing;
    std::unique_ptr<TextNode> nodes[NODE_LINES];
};

// The end-of-level lines when this frame shows the screen, with the best time
// as it stood before this frame.
void drawEndOfLevel(Hud& hud);
