#include "app/BoardView.h"

#include "app/LevelBoard.h"
#include "effects/TextNode.h"
#include "render/ShaderLoader.h"

BoardView::BoardView() {
    program = glCreateProgram();
    // Quiet: the start-up lines of the specified passes stay as they are.
    compileShaderFile(program, GL_VERTEX_SHADER, "Shaders/fboShader.vert", true);
    compileShaderFile(program, GL_FRAGMENT_SHADER, "Shaders/boardFBOShader.frag", true);
    glBindFragDataLocation(program, 0, "fragColor");
    linkShaderProgram(program);
    bandLocation = glGetUniformLocation(program, "band");

    // One full-window quad as a strip: position (x, y, z) and uv per corner.
    const float corners[] = {-1, -1, 0, 0, 0, 1, -1, 0, 1, 0, -1, 1, 0, 0, 1, 1, 1, 0, 1, 1};
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    const GLint position = glGetAttribLocation(program, "in_position");
    if (position >= 0) {
        glEnableVertexAttribArray(GLuint(position));
        glVertexAttribPointer(GLuint(position), 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), nullptr);
    }
    const GLint uv = glGetAttribLocation(program, "in_uv");
    if (uv >= 0) {
        glEnableVertexAttribArray(GLuint(uv));
        glVertexAttribPointer(GLuint(uv), 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float),
                              reinterpret_cast<const void*>(3 * sizeof(float)));
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glGenTextures(1, &picture);
    glBindTexture(GL_TEXTURE_2D, picture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

BoardView::~BoardView() {
    glDeleteTextures(1, &picture);
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteProgram(program);
}

bool BoardView::hasPicture(int width, int height) const {
    return pictureWidth == width && pictureHeight == height && width > 0 && height > 0;
}

void BoardView::keepPicture(int width, int height) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glBindTexture(GL_TEXTURE_2D, picture);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 0, 0, width, height, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    pictureWidth = width;
    pictureHeight = height;
}

void BoardView::draw(const LevelBoard& board, const KeyBindings& keys) {
    int band[4];
    board.selectionBand(band);
    glUseProgram(program);
    glUniform4f(bandLocation, band[0] / 800.0f, band[1] / 600.0f, band[2] / 800.0f, band[3] / 600.0f);
    glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, picture);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glBindVertexArray(vertexArray);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);

    for (const LevelBoard::Line& line : board.lines(keys)) drawText(line.text.c_str(), line.x, line.y, line.size);
}
