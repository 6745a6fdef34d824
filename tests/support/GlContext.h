#pragma once

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ProcessState.h"
#include "support/ScopedDirectory.h"
#include "support/TempDir.h"

class CameraNode;

// A hidden window with a current OpenGL 3.3 core context, for tests that
// read pixels back. Needs a display (the test run provides Xvfb).
class GlContext {
public:
    GlContext(int width = 800, int height = 600);
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    bool ok() const { return window != nullptr; }
    GLFWwindow* window = nullptr;
    std::string failure;  // what failed and why, when not ok()
    int width;
    int height;

private:
    void open();
};

// Test fixture: a fresh context per test on fresh process state, working
// directory in data/ so the shaders are found. The game's scene is deleted
// before the context goes.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // RGBA of one pixel of the back buffer (or the bound read buffer).
    std::vector<unsigned char> readPixel(int x, int y);
    // Makes a copy of the shipped data the working directory until the end
    // of the test; with `ownMaps` its Maps/ starts empty, for the test's own.
    void enterDataCopy(bool ownMaps = false);

    ProcessState state;
    GlContext* context = nullptr;
    std::string previousDirectory;
    std::unique_ptr<TempDir> dataCopy;
};

// A GL test with a camera at the origin looking along -z.
class GlCameraTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    CameraNode* camera = nullptr;
};
