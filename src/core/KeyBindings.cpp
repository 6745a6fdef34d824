#include "core/KeyBindings.h"

#include <GLFW/glfw3.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <sstream>

#include "core/GameState.h"
#include "core/Input.h"
#include "core/SafeFile.h"

namespace {

struct NamedKey {
    const char* name;
    int code;
};

#define KEY(name) {#name, GLFW_KEY_##name}
const NamedKey namedKeys[] = {
    KEY(SPACE), KEY(APOSTROPHE), KEY(COMMA), KEY(MINUS), KEY(PERIOD), KEY(SLASH),
    KEY(0), KEY(1), KEY(2), KEY(3), KEY(4), KEY(5), KEY(6), KEY(7), KEY(8), KEY(9),
    KEY(SEMICOLON), KEY(EQUAL),
    KEY(A), KEY(B), KEY(C), KEY(D), KEY(E), KEY(F), KEY(G), KEY(H), KEY(I), KEY(J), KEY(K), KEY(L), KEY(M),
    KEY(N), KEY(O), KEY(P), KEY(Q), KEY(R), KEY(S), KEY(T), KEY(U), KEY(V), KEY(W), KEY(X), KEY(Y), KEY(Z),
    KEY(LEFT_BRACKET), KEY(BACKSLASH), KEY(RIGHT_BRACKET), KEY(GRAVE_ACCENT), KEY(WORLD_1), KEY(WORLD_2),
    KEY(ESCAPE), KEY(ENTER), KEY(TAB), KEY(BACKSPACE), KEY(INSERT), KEY(DELETE),
    KEY(RIGHT), KEY(LEFT), KEY(DOWN), KEY(UP), KEY(PAGE_UP), KEY(PAGE_DOWN), KEY(HOME), KEY(END),
    KEY(CAPS_LOCK), KEY(SCROLL_LOCK), KEY(NUM_LOCK), KEY(PRINT_SCREEN), KEY(PAUSE),
    KEY(F1), KEY(F2), KEY(F3), KEY(F4), KEY(F5), KEY(F6), KEY(F7), KEY(F8), KEY(F9), KEY(F10), KEY(F11),
    KEY(F12), KEY(F13), KEY(F14), KEY(F15), KEY(F16), KEY(F17), KEY(F18), KEY(F19), KEY(F20), KEY(F21),
    KEY(F22), KEY(F23), KEY(F24), KEY(F25),
    KEY(KP_0), KEY(KP_1), KEY(KP_2), KEY(KP_3), KEY(KP_4), KEY(KP_5), KEY(KP_6), KEY(KP_7), KEY(KP_8),
    KEY(KP_9), KEY(KP_DECIMAL), KEY(KP_DIVIDE), KEY(KP_MULTIPLY), KEY(KP_SUBTRACT), KEY(KP_ADD),
    KEY(KP_ENTER), KEY(KP_EQUAL),
    KEY(LEFT_SHIFT), KEY(LEFT_CONTROL), KEY(LEFT_ALT), KEY(LEFT_SUPER), KEY(RIGHT_SHIFT),
    KEY(RIGHT_CONTROL), KEY(RIGHT_ALT), KEY(RIGHT_SUPER), KEY(MENU),
};
#undef KEY

const char* const actionNames[KeyBindings::ACTION_COUNT] = {
    "NOSE_DOWN", "NOSE_UP", "ROLL_LEFT", "ROLL_RIGHT", "FLAP", "RESTART", "NEXT_LEVEL", "PAUSE", "BOARD"};

std::string upper(std::string text) {
    for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool readable(const std::string& line) {
    for (char c : line) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80 || (u < 0x20 && c != '\t')) return false;
    }
    return true;
}

// Why a line cannot be used, or "" when `keys` holds its keys.
std::string readLine(const std::string& line, int& action, std::vector<int>& keys) {
    if (!readable(line)) return "not a line of text";
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return "no ACTION=KEY";
    const std::string name = upper(trimmed(line.substr(0, equals)));
    action = -1;
    for (int a = 0; a < KeyBindings::ACTION_COUNT; ++a) {
        if (name == actionNames[a]) action = a;
    }
    if (action < 0) return "unknown action " + (name.empty() ? std::string("(none)") : name);
    std::istringstream words(line.substr(equals + 1));
    std::string word;
    while (words >> word) {
        const int code = KeyBindings::keyCode(word);
        if (code < 0) return "unknown key " + word;
        if (code == GLFW_KEY_ESCAPE) return "ESCAPE always quits";
        if (KeyBindings::reserved(code)) return upper(word) + " is a setting key";
        keys.push_back(code);
    }
    if (keys.empty()) return "no keys for " + name;
    return "";
}

}  // namespace

KeyBindings::KeyBindings() {
    bound[NOSE_DOWN] = {GLFW_KEY_W, GLFW_KEY_UP};
    bound[NOSE_UP] = {GLFW_KEY_S, GLFW_KEY_DOWN};
    bound[ROLL_LEFT] = {GLFW_KEY_A, GLFW_KEY_LEFT};
    bound[ROLL_RIGHT] = {GLFW_KEY_D, GLFW_KEY_RIGHT};
    bound[FLAP] = {GLFW_KEY_SPACE};
    bound[RESTART] = {GLFW_KEY_ENTER};
    bound[NEXT_LEVEL] = {GLFW_KEY_SPACE};
    bound[PAUSE] = {GLFW_KEY_P};
    bound[BOARD] = {GLFW_KEY_TAB};
}

const char* KeyBindings::actionName(Action action) { return actionNames[action]; }

int KeyBindings::keyCode(const std::string& name) {
    const std::string wanted = upper(name);
    for (const NamedKey& key : namedKeys) {
        if (wanted == key.name) return key.code;
    }
    return -1;
}

std::string KeyBindings::keyName(int code) {
    for (const NamedKey& key : namedKeys) {
        if (key.code == code) return key.name;
    }
    return "?";
}

bool KeyBindings::reserved(int code) {
    if (code == GLFW_KEY_ESCAPE) return true;
    if (code >= GLFW_KEY_F2 && code <= GLFW_KEY_F10) return true;
    for (int key : {GLFW_KEY_N, GLFW_KEY_F, GLFW_KEY_L, GLFW_KEY_T, GLFW_KEY_C, GLFW_KEY_M, GLFW_KEY_V, GLFW_KEY_G}) {
        if (code == key) return true;
    }
    return false;
}

void KeyBindings::parse(const std::string& text, std::vector<std::string>& problems) {
    std::istringstream lines(text);
    std::string raw;
    int number = 0;
    while (std::getline(lines, raw)) {
        ++number;
        const std::string line = trimmed(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        int action = -1;
        std::vector<int> keys;
        const std::string why = readLine(line, action, keys);
        if (why.empty()) {
            bound[action] = keys;
            continue;
        }
        // A line of binary junk is not repeated on the console.
        const std::string shown = readable(line) ? line : "...";
        problems.push_back("line " + std::to_string(number) + " (" + shown + "): " + why);
    }
}

void KeyBindings::readFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    // Far more than any list of keys; a huge file is no key list.
    const FileRead result = readRegularFile(path, bytes, 1 << 20);
    if (result == FileRead::CannotOpen && errno == ENOENT) return;
    if (result != FileRead::Done) {
        std::printf("%s: %s; the default keys apply\n", path.c_str(), fileReadError(result).c_str());
        std::fflush(stdout);
        return;
    }
    std::vector<std::string> problems;
    parse(std::string(bytes.begin(), bytes.end()), problems);
    for (const std::string& problem : problems) std::printf("%s %s, skipped\n", path.c_str(), problem.c_str());
    std::fflush(stdout);
}

bool KeyBindings::held(GLFWwindow* window, Action action) {
    bool any = false;
    for (int key : bound[action]) {
        if (Input::current().getKey(window, key) != GLFW_PRESS) {
            swallowed.erase(key);
        } else if (!swallowed.count(key)) {
            any = true;
        }
    }
    return any;
}

bool KeyBindings::pressedOnce(GLFWwindow* window, Action action) {
    bool any = false;
    // Every key is tested, so that each one's flag follows it.
    for (int key : bound[action]) any = keyPressedOnce(window, key) || any;
    return any;
}

void KeyBindings::ignoreHeldKeys(GLFWwindow* window) {
    for (const NamedKey& key : namedKeys) {
        if (Input::current().getKey(window, key.code) != GLFW_PRESS) continue;
        gameState.keyWasDown[key.code] = true;
        swallowed.insert(key.code);
    }
}
