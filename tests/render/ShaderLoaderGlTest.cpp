#include "render/ShaderLoader.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "core/Console.h"
#include "render/BillboardProgram.h"
#include "render/ParticleProgram.h"
#include "support/ChildProcess.h"
#include "support/GlContext.h"
#include "support/MustBuild.h"

namespace {

const char* vertexSource = R"(#version 330 core
in vec3 in_position;
in vec2 in_uv;
out vec2 uv;
void main() { uv = in_uv; gl_Position = vec4(in_position, 1.0); }
)";

const char* fragmentSource = R"(#version 330 core
in vec2 uv;
out vec4 fragColor;
out vec4 fragData;
void main() { fragColor = vec4(uv, 0.0, 1.0); fragData = vec4(0.0); }
)";

// A shader folder of our own in a temporary directory.
struct ShaderFolder {
    // Shaders/ holding `files`, name and source.
    ShaderFolder(std::initializer_list<std::pair<const char*, const char*>> files = {}) {
        std::filesystem::create_directories(dir.file("Shaders"));
        for (const auto& [name, source] : files) dir.write(std::string("Shaders/") + name, source);
    }
    TempDir dir;
};

// Runs `load` (given a failure to fill) as the start-up and the level build
// do: a failure is shown and ends the process.
template <typename Load>
void asTheGameDoes(Load load) {
    ShaderFailure failure;
    load(failure);
    if (failure) console::fail(failure.lines());
}

}  // namespace

TEST(ShaderLoader, FboProgramLinksAndBindsBothOutputs) {
    ShaderFolder folder({{"fboShader.vert", vertexSource}, {"pass.frag", fragmentSource}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] {
        GLuint program = loadFboProgram("Shaders/pass.frag", MustBuild());
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) _exit(10);
        if (glGetFragDataLocation(program, "fragColor") != 0) _exit(11);
        if (glGetFragDataLocation(program, "fragData") != 1) _exit(12);
    });
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "Loading first shader\nVert shader loaded\nFrag shader loaded\n");
}

TEST(ShaderLoader, BasicProgramAnnouncesEachShader) {
    ShaderFolder folder({{"basicShader.vert", vertexSource}, {"basicShader.frag", fragmentSource}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] {
        GLuint program = loadBasicProgram("Shaders/basicShader.frag", MustBuild());
        if (program == 0) _exit(10);
    });
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "Shader program loaded\nShader program loaded\nShader loaded.\n");
}

TEST(ShaderLoader, MissingFileEndsWithItsPath) {
    ShaderFolder folder({{"fboShader.vert", vertexSource}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] { asTheGameDoes([](ShaderFailure& failure) { loadFboProgram("Shaders/plainFBOShader.frag", failure); }); });
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_TRUE(printed(result, "Failed to open shader file: Shaders/plainFBOShader.frag\n"));
}

TEST(ShaderLoader, AFailureGoesBackToTheCallerUnprintedAndFirstComesFirst) {
    ShaderFolder folder({{"fboShader.vert", vertexSource}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] {
        ShaderFailure failure;
        if (loadFboProgram("Shaders/missing.frag", failure) != 0) _exit(10);
        if (loadFboProgram("Shaders/other.frag", failure) != 0) _exit(11);
        _exit(failure.lines() == "Failed to open shader file: Shaders/missing.frag" ? 0 : 12);
    });
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output.find("Failed"), std::string::npos) << result.output;
}

TEST(ShaderLoader, MissingBillboardFileEndsWithoutThePath) {
    ShaderFolder folder({{"Billboard.vertexshader", vertexSource},
                         {"Billboard.fragmentshader", fragmentSource}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] {
        asTheGameDoes([](ShaderFailure& failure) { failure = BillboardProgram().failure; });
    });
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_TRUE(printed(result, "Failed to open shader file: \n"));
    EXPECT_EQ(result.output.find("geometryshader"), std::string::npos);
}

TEST(ShaderLoader, MissingParticleFileEndsWithThePath) {
    ShaderFolder folder({{"particleShader.vertexshader", vertexSource}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] {
        asTheGameDoes([](ShaderFailure& failure) { failure = ParticleProgram().failure; });
    });
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_TRUE(printed(result, "Failed to open shader file: Shaders/particleShader.fragmentshader"));
}

TEST(ShaderLoader, CompileFailureEndsWithTheLog) {
    ShaderFolder folder({{"fboShader.vert", vertexSource},
                         {"broken.frag", "#version 330 core\nout vec4 fragColor;\nvoid main() { fragColor = nonsense; }\n"}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] { asTheGameDoes([](ShaderFailure& failure) { loadFboProgram("Shaders/broken.frag", failure); }); });
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.output.find("Frag shader loaded"), std::string::npos) << result.output;
    size_t at = result.output.find("Failed to compile shader\n");
    ASSERT_NE(at, std::string::npos) << result.output;
    EXPECT_NE(result.output.find("nonsense", at), std::string::npos) << "the driver's log follows";
}

TEST(ShaderLoader, IncludedFileAndSharedConstantsKeepTheFilesLineNumbers) {
    // The included file uses the shared constants; the error on the main
    // file's line 5 is reported there, after the prelude and the splice.
    ShaderFolder folder({{"fboShader.vert", vertexSource},
                         {"part.glsl", "int lights() { return MAX_SHADER_LIGHTS + LIGHT_SPOT; }\n"},
                         {"uses.frag", "#version 330 core\n#include \"part.glsl\"\nout vec4 fragColor;\n"
                                       "void main() { fragColor = vec4(float(lights()) * DAY_LIGHT);\n"
                                       "nonsense; }\n"}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] { asTheGameDoes([](ShaderFailure& failure) { loadFboProgram("Shaders/uses.frag", failure); }); });
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_NE(result.output.find("0:5("), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("lights"), std::string::npos) << "the rest compiles: " << result.output;
}

TEST(ShaderLoader, LinkFailureUsesTheCompileWords) {
    // The fragment stage compiles, but reads an input of another type than
    // the vertex stage writes.
    ShaderFolder folder({{"fboShader.vert", vertexSource},
                         {"mismatch.frag", "#version 330 core\nin vec4 uv;\nout vec4 fragColor;\nvoid main() { fragColor = uv; }\n"}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] { asTheGameDoes([](ShaderFailure& failure) { loadFboProgram("Shaders/mismatch.frag", failure); }); });
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_TRUE(printed(result, "Frag shader loaded\nFailed to compile shader\n"));
}

TEST(ShaderLoader, TextLoaderToleratesAMissingVertexFile) {
    ShaderFolder folder;
    ChildResult result = runWithContextIn(folder.dir.path(), [] {
        ShaderFailure failure;
        GLuint program = loadTextProgram(failure);
        // The line is the caller's to show.
        std::printf("%s\n", failure.lines().c_str());
        _exit(program == 0 ? 0 : 10);
    });
    EXPECT_EQ(result.exitCode, 0) << "returns 0";
    EXPECT_TRUE(printed(result, "Impossible to open Shaders/TextVertexShader.vertexshader. Are you in the right "
                                "directory ? Don't forget to read the FAQ !\n"));
}

TEST(ShaderLoader, TextLoaderGoesOnWithoutAFragmentFile) {
    ShaderFolder folder({{"TextVertexShader.vertexshader", vertexSource}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] {
        ShaderFailure failure;
        GLuint program = loadTextProgram(failure);
        _exit(program != 0 ? 0 : 10);
    });
    EXPECT_EQ(result.exitCode, 0) << result.output;
}

TEST(ShaderLoader, TextLoaderSourceStartsWithALineBreak) {
    // A #version on the first line must survive the leading line break.
    ShaderFolder folder({{"TextVertexShader.vertexshader", vertexSource},
                         {"TextVertexShader.fragmentshader", fragmentSource}});
    ChildResult result = runWithContextIn(folder.dir.path(), [] {
        ShaderFailure failure;
        GLuint program = loadTextProgram(failure);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        _exit(linked ? 0 : 10);
    });
    EXPECT_EQ(result.exitCode, 0) << result.output;
}
