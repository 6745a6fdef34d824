#include "core/GameState.h"

#include <GLFW/glfw3.h>

#include "core/Input.h"

static_assert(KEY_CODE_COUNT == GLFW_KEY_LAST + 1, "one flag per GLFW key code");

GameState gameState;

bool keyPressedOnce(GLFWwindow* window, int key) {
    if (key < 0 || key >= KEY_CODE_COUNT) return false;
    if (Input::current().getKey(window, key) == GLFW_PRESS) {
        if (gameState.keyWasDown[key]) return false;
        gameState.keyWasDown[key] = true;
        return true;
    }
    gameState.keyWasDown[key] = false;
    return false;
}
