#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>

#include "core/Console.h"
#include "app/Game.h"
#include "app/GlfwInput.h"
#include "core/GameSettings.h"
#include "core/GameState.h"
#include "app/OpenAlAudio.h"
#include "app/WindowOpener.h"

int main() {
    // Line-buffered so that a console piped to a file or a test sees each
    // message as it happens.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    readConfig();
    gameState.keyBindings.readFile("controls.ini");
    // Sound plays beside the game: any failure of it leaves the game silent.
    // Opened before GLFW and the driver start threads of their own, since
    // OpenAL Soft's log level is handed over through the environment.
    OpenAlAudio sound(gameSettings.soundVolume, "Sounds/");

    WindowOpener opener;
    if (opener.startGlfw()) console::fail("Failed to init glfw");
    // The keys and joysticks are read through GLFW from here on.
    static GlfwInput devices;
    Input::useDevices(&devices);

    // A window larger than the screen is cut to it; the default size opens on
    // any screen, as it always has.
    const GameSettings asked = gameSettings;
    const GameSettings defaults;
    GLFWmonitor* primary = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = primary ? glfwGetVideoMode(primary) : nullptr;
    const int screenWidth = mode ? std::max(mode->width, defaults.width) : 0;
    const int screenHeight = mode ? std::max(mode->height, defaults.height) : 0;
    fitWindowSize(gameSettings, screenWidth, screenHeight);

    WindowOpener::Request request;
    request.title = "-----:::::Moorglide:::::-----";
    request.width = gameSettings.width;
    request.height = gameSettings.height;
    request.refreshRate = gameSettings.refreshRate;
    request.monitor = gameSettings.fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    const WindowOpener::Failure failure = opener.open(request);
    if (failure.step == WindowOpener::Step::window) console::fail("Failed to open window");
    if (failure) console::fail("Failed to initialize glew");
    GLFWwindow* window = opener.window;
    glfwSetInputMode(window, GLFW_STICKY_KEYS, 1);
    if (gameSettings.fullscreen) glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);

    // The scene is drawn into textures and a render buffer of the window's
    // size, so GL's limits for those bound it too.
    GLint viewportLimit[2] = {0, 0}, renderbufferLimit = 0, textureLimit = 0;
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewportLimit);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbufferLimit);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &textureLimit);
    const int sideLimit = std::min(renderbufferLimit, textureLimit);
    if (fitWindowSize(gameSettings, std::min(viewportLimit[0], sideLimit), std::min(viewportLimit[1], sideLimit)))
        glfwSetWindowSize(window, gameSettings.width, gameSettings.height);
    if (gameSettings.width != asked.width || gameSettings.height != asked.height)
        std::printf("A %i x %i window is not possible here: the window is %i x %i\n", asked.width, asked.height,
                    gameSettings.width, gameSettings.height);

    Audio::install(&sound);
    const int exitCode = runGame(window);
    Audio::install(nullptr);
    return exitCode;
}
