#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>

#include "app/Console.h"
#include "app/Game.h"
#include "app/GameSettings.h"
#include "app/OpenAlAudio.h"

int main() {
    // Line-buffered so that a console piped to a file or a test sees each
    // message as it happens.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    readConfig();
    // Sound plays beside the game: any failure of it leaves the game silent.
    // Opened before GLFW and the driver start threads of their own, since
    // OpenAL Soft's log level is handed over through the environment.
    OpenAlAudio sound(gameSettings.soundVolume, "Sounds/");

    if (!glfwInit()) console::fail("Failed to init glfw");

    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_REFRESH_RATE, gameSettings.refreshRate);

    GLFWmonitor* monitor = gameSettings.fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    GLFWwindow* window = glfwCreateWindow(gameSettings.width, gameSettings.height,
                                          "-----:::::Moorglide:::::-----", monitor, nullptr);
    if (!window) {
        glfwTerminate();
        console::fail("Failed to open window");
    }
    glfwMakeContextCurrent(window);
    glfwSetInputMode(window, GLFW_STICKY_KEYS, 1);
    if (gameSettings.fullscreen) glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);

    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) console::fail("Failed to initialize glew");
    // GLEW may leave an error flag behind; the frame loop must not report it.
    glGetError();

    Audio::install(&sound);
    const int exitCode = runGame(window);
    Audio::install(nullptr);
    return exitCode;
}
