#include "app/GameState.h"

#include "app/Input.h"

GameState gameState;

bool keyPressedOnce(GLFWwindow* window, int key) {
    if (key < 0 || key > GLFW_KEY_LAST) return false;
    if (Input::current().getKey(window, key) == GLFW_PRESS) {
        if (gameState.keyWasDown[key]) return false;
        gameState.keyWasDown[key] = true;
        return true;
    }
    gameState.keyWasDown[key] = false;
    return false;
}
