#include "effects/TextNode.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/Console.h"
#include "core/GameState.h"
#include "app/Hud.h"
#include "support/ChildProcess.h"
#include "support/GlContext.h"

namespace {

// A 64 x 64 DXT5 font, one level, every cell opaque white.
void writeWhiteFont(const std::string& path) {
    std::vector<unsigned char> file(128, 0);
    auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    std::copy_n("DDS ", 4, file.begin());
    put32(4, 124);
    put32(4 + 8, 64);
    put32(4 + 12, 64);
    put32(4 + 16, 16 * 16 * 16);
    put32(4 + 24, 1);
    std::copy_n("DXT5", 4, file.begin() + 4 + 80);
    const unsigned char white[16] = {0xFF, 0x00, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    for (int block = 0; block < 16 * 16; ++block) file.insert(file.end(), white, white + 16);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
}

class TextGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        copyDataTo(dir.path());
        writeWhiteFont(dir.file("Holstein.DDS"));
        inside = new ScopedDirectory(dir.path());
    }
    void TearDown() override {
        delete inside;
        GlTest::TearDown();
    }

    void clear() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    bool lit(int x, int y) { return readPixel(x, y)[0] > 200; }

    std::vector<glm::vec2> bufferContents(GLuint buffer) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        GLint size = 0;
        glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
        std::vector<glm::vec2> out(size / sizeof(glm::vec2));
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, size, out.data());
        return out;
    }

    TempDir dir;
    ScopedDirectory* inside = nullptr;
};

TEST_F(TextGlTest, TwoLettersLandInTheirCellsOnTheTextScreen) {
    TextNode node;
    ASSERT_NE(textResources.fontTexture, 0u);
    ASSERT_NE(textResources.program, 0u);
    clear();
    drawText("AB", 10, 560, 30);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    std::vector<glm::vec2> positions = bufferContents(textResources.positionBuffer);
    std::vector<glm::vec2> uvs = bufferContents(textResources.uvBuffer);
    ASSERT_EQ(positions.size(), 12u);
    ASSERT_EQ(uvs.size(), 12u);
    EXPECT_EQ(positions[0], glm::vec2(10, 590));
    EXPECT_EQ(positions[3], glm::vec2(40, 560));
    EXPECT_EQ(positions[9], glm::vec2(70, 560));
    EXPECT_EQ(uvs[0], glm::vec2(0.0625f, 0.25f));
    EXPECT_EQ(uvs[3], glm::vec2(0.125f, 0.3125f));

    // The window is 800 x 600, so text units are pixels here.
    EXPECT_TRUE(lit(12, 562));
    EXPECT_TRUE(lit(38, 588));
    EXPECT_TRUE(lit(68, 575));
    EXPECT_FALSE(lit(8, 575));
    EXPECT_FALSE(lit(72, 575));
    EXPECT_FALSE(lit(25, 557));
    EXPECT_FALSE(lit(25, 592));

    // Blending is switched off again, the program stays in use.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(GLuint(current), textResources.program);
}

TEST_F(TextGlTest, LayoutScalesWithTheWindow) {
    TextNode node;
    // Half the window: the same text units land at half the pixels.
    glViewport(0, 0, 400, 300);
    clear();
    drawText("AB", 10, 560, 30);
    EXPECT_TRUE(lit(6, 281));
    EXPECT_TRUE(lit(34, 293));
    EXPECT_FALSE(lit(37, 287));
    EXPECT_FALSE(lit(6, 278));
    // The corner of the text screen is the corner of the window.
    glViewport(0, 0, 800, 600);
    clear();
    drawText("W", 780, 580, 20);
    EXPECT_TRUE(lit(799, 599));
    EXPECT_FALSE(lit(799, 578));
}

TEST_F(TextGlTest, TextStaysInFrontOfTheScene) {
    TextNode node;
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glClearDepth(0.001);
    clear();
    glClearDepth(1.0);
    drawText("X", 100, 100, 40);
    EXPECT_TRUE(lit(120, 120));
    // Depth testing and culling are left as they were.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(TextGlTest, NodeDrawsItsOwnTextAtItsOwnPlace) {
    TextNode* node = new TextNode();
    EXPECT_STREQ(node->text, "");
    EXPECT_EQ(node->x, 0);
    EXPECT_EQ(node->y, 0);
    EXPECT_EQ(node->size, 0);
    TextNode* child = new TextNode();
    node->addChild(child);
    char buffer[16] = "hi";
    node->text = buffer;
    node->x = 100;
    node->y = 200;
    node->size = 20;
    child->text = "c";
    child->x = 300;
    child->y = 300;
    child->size = 10;
    clear();
    node->draw();
    EXPECT_TRUE(lit(110, 210));
    EXPECT_TRUE(lit(130, 210));
    EXPECT_TRUE(lit(305, 305));
    EXPECT_FALSE(lit(150, 210));

    // The owner changes the buffer; the node shows the new contents.
    std::snprintf(buffer, sizeof buffer, "long");
    clear();
    node->draw();
    EXPECT_TRUE(lit(170, 210));
    delete node;
}

TEST_F(TextGlTest, EmptyTextDrawsNothing) {
    TextNode node;
    clear();
    drawText("", 0, 0, 600);
    drawText(nullptr, 0, 0, 600);
    EXPECT_FALSE(lit(10, 10));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextGlTest, SharedResourcesLiveUntilTheLastNodeGoes) {
    TextNode* first = new TextNode();
    GLuint firstProgram = textResources.program;
    TextNode* second = new TextNode();
    drawText("fill", 0, 0, 10);
    // The second node shares the first one's set.
    EXPECT_EQ(textResources.program, firstProgram);
    EXPECT_NE(textResources.program, 0u);
    EXPECT_FALSE(glIsProgram(firstProgram) && firstProgram != textResources.program);
    delete first;
    EXPECT_TRUE(glIsProgram(textResources.program));
    EXPECT_TRUE(glIsBuffer(textResources.positionBuffer));
    EXPECT_TRUE(glIsTexture(textResources.fontTexture));
    clear();
    second->text = "Z";
    second->x = 400;
    second->y = 300;
    second->size = 40;
    second->draw();
    EXPECT_TRUE(lit(420, 320));
    GLuint buffer = textResources.positionBuffer;
    GLuint font = textResources.fontTexture;
    delete second;
    EXPECT_FALSE(glIsBuffer(buffer));
    EXPECT_FALSE(glIsTexture(font));
    EXPECT_EQ(textResources.program, 0u);
    // Nothing left to draw with, and nothing breaks.
    drawText("late", 0, 0, 10);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

class GameFontGlTest : public GlTest {};

// Lit pixels of a 64 x 64 cell drawn at (100, 100), split into lower and upper half.
void litHalves(const char* text, int& lower, int& upper) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    drawText(text, 100, 100, 64);
    std::vector<unsigned char> cell(64 * 64 * 4);
    glReadPixels(100, 100, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, cell.data());
    lower = upper = 0;
    for (int row = 0; row < 64; ++row)
        for (int column = 0; column < 64; ++column)
            if (cell[(row * 64 + column) * 4] > 128) ++(row < 32 ? lower : upper);
}

TEST_F(GameFontGlTest, GlyphsStandUpright) {
    FILE* font = std::fopen("Holstein.DDS", "rb");
    if (!font) GTEST_SKIP() << "Holstein.DDS is not in data/ yet";
    std::fclose(font);
    TextNode node;
    ASSERT_NE(textResources.fontTexture, 0u);
    int lower = 0, upper = 0;
    litHalves("_", lower, upper);
    EXPECT_GT(lower, 20);
    EXPECT_EQ(upper, 0);
    // A capital is a glyph, not a filled cell.
    litHalves("A", lower, upper);
    EXPECT_GT(lower + upper, 200);
    EXPECT_LT(lower + upper, 64 * 64 * 2 / 3);
    litHalves(" ", lower, upper);
    EXPECT_EQ(lower + upper, 0);
}

TEST(TextNodeFont, MissingFontIsReportedAndTheGameGoesOn) {
    TempDir dir;
    copyDataTo(dir.path());
    std::filesystem::remove(dir.file("Holstein.DDS"));
    ChildResult result = runWithContextIn(dir.path(), [&] {
        // The owner shows what the node could not load.
        TextNode node(console::report);
        if (node.loadProblems.size() != 1) _exit(91);
        if (textResources.fontTexture != 0) _exit(92);
        if (textResources.program == 0) _exit(93);
        drawText("still drawn", 10, 10, 20);
        if (glGetError() != GL_NO_ERROR) _exit(94);
    });
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(printed(result, "Holstein.DDS could not be opened. Are you in the right directory ? Don't forget to "
                                "read the FAQ !\n"));
}

// How often `text` stands in what a child printed.
int timesPrinted(const ChildResult& result, const std::string& text) {
    int count = 0;
    for (size_t at = result.output.find(text); at != std::string::npos; at = result.output.find(text, at + 1)) ++count;
    return count;
}

TEST(TextNodeFont, TheHudReportsMissingTextFilesOncePerTextLine) {
    TempDir dir;
    copyDataTo(dir.path());
    std::filesystem::remove(dir.file("Holstein.DDS"));
    std::filesystem::remove(dir.file("Shaders/TextVertexShader.vertexshader"));
    ChildResult result = runWithContextIn(dir.path(), [&] {
        Hud hud;
        hud.setUp();
        gameState.paused = true;
        hud.drawTexts();
        hud.drawGaugeAndPause();
    });
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(timesPrinted(result, "Holstein.DDS could not be opened."), 13) << result.output;
    EXPECT_EQ(timesPrinted(result, "Impossible to open Shaders/TextVertexShader.vertexshader. Are you in the right "
                                   "directory ? Don't forget to read the FAQ !\n"),
              13);
}

TEST(TextNodeFont, DamagedFontIsNamedAndGivesNoTexture) {
    TempDir dir;
    copyDataTo(dir.path());
    writeWhiteFont(dir.file("Holstein.DDS"));
    std::filesystem::resize_file(dir.file("Holstein.DDS"), 128 + 1000);
    ChildResult result = runWithContextIn(dir.path(), [&] {
        TextNode node;
        if (textResources.fontTexture != 0) _exit(92);
    });
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(printed(result, "Holstein.DDS"));
}

}  // namespace
