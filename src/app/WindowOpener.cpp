#include "app/WindowOpener.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace {

std::string lastGlfwError() {
    const char* description = nullptr;
    glfwGetError(&description);
    return description ? description : "no reason given";
}

}  // namespace

WindowOpener::Failure WindowOpener::startGlfw() {
    if (glfwStarted) return {};
    if (!glfwInit()) return {Step::glfw, lastGlfwError()};
    glfwStarted = true;
    return {};
}

WindowOpener::Failure WindowOpener::open(const Request& request) {
    if (Failure failure = startGlfw()) return failure;
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, request.visible ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_REFRESH_RATE, request.refreshRate);
    Failure failure;
    // GLFW would assert on a side below 1 rather than refuse it.
    if (request.width < 1 || request.height < 1) {
        failure = {Step::window, "a window needs both sides of at least 1 pixel"};
    } else {
        window = glfwCreateWindow(request.width, request.height, request.title.c_str(), request.monitor, nullptr);
        if (!window) failure = {Step::window, lastGlfwError()};
    }
    if (!failure) {
        glfwMakeContextCurrent(window);
        glewExperimental = GL_TRUE;
        const GLenum glew = glewInit();
        if (glew != GLEW_OK)
            failure = {Step::glew, reinterpret_cast<const char*>(glewGetErrorString(glew))};
    }
    if (failure) {
        if (window) glfwDestroyWindow(window);
        window = nullptr;
        glfwTerminate();
        glfwStarted = false;
        return failure;
    }
    // GLEW may leave an error flag behind; nobody after it must report it.
    glGetError();
    return {};
}
