#include "support/GlContext.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/WindowOpener.h"
#include "render/RenderResources.h"
#include "scene/CameraNode.h"
#include "support/ChildProcess.h"

GlContext::GlContext(int width, int height) : width(width), height(height) {
    // Opening the display now and then fails under a busy Xvfb; a second try
    // a moment later succeeds.
    for (int attempt = 0; attempt < 5 && !window; ++attempt) {
        if (attempt > 0) usleep(200 * 1000);
        open();
    }
}

void GlContext::open() {
    WindowOpener opener;
    WindowOpener::Request request;
    request.title = "moorglide-test";
    request.width = width;
    request.height = height;
    request.visible = false;
    failure = opener.open(request).why;
    window = opener.window;
    if (window) glViewport(0, 0, width, height);
}

GlContext::~GlContext() {
    if (window) glfwDestroyWindow(window);
    glfwTerminate();
}

void GlTest::SetUp() {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer)) previousDirectory = buffer;
    ASSERT_EQ(chdir(MOORGLIDE_DATA_DIR), 0);
    context = new GlContext();
    ASSERT_TRUE(context->ok()) << "no OpenGL 3.3 context: " << context->failure;
    // Names cached by an earlier test belong to a context that is gone.
    RenderResources::forget();
}

void GlTest::TearDown() {
    state.deleteScene();
    delete context;
    context = nullptr;
    if (!previousDirectory.empty() && chdir(previousDirectory.c_str()) != 0) {
        ADD_FAILURE() << "could not return to " << previousDirectory;
    }
}

void GlTest::enterDataCopy(bool ownMaps) {
    dataCopy = std::make_unique<TempDir>();
    copyDataTo(dataCopy->path());
    if (ownMaps) {
        std::filesystem::remove_all(dataCopy->file("Maps"));
        std::filesystem::create_directory(dataCopy->file("Maps"));
    }
    // TearDown returns to the directory the test started in.
    if (chdir(dataCopy->path().c_str()) != 0) ADD_FAILURE() << "cannot enter " << dataCopy->path();
}

void GlCameraTest::SetUp() {
    GlTest::SetUp();
    camera = new CameraNode();
}

void GlCameraTest::TearDown() {
    delete camera;
    camera = nullptr;
    GlTest::TearDown();
}

std::vector<unsigned char> GlTest::readPixel(int x, int y) {
    std::vector<unsigned char> rgba(4, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

ChildResult runWithContextIn(const std::string& folder, const std::function<void()>& body) {
    return runInChild([&] {
        if (chdir(folder.c_str()) != 0) _exit(90);
        GlContext context;
        if (!context.ok()) _exit(91);
        body();
    });
}
