#pragma once

#include <GL/glew.h>

class KeyBindings;
class LevelBoard;

// Draws the level board over a darkened copy of the picture the game showed
// when it opened: the scene is drawn once more for the copy, and from then on
// only the copy and the board's text, so that the board answers at once even
// where a scene frame takes long. Text goes through the game's own font and
// text program.
class BoardView {
public:
    // Builds the backdrop's program; a missing or broken shader ends the
    // game like every other, at start-up rather than when the board opens.
    BoardView();
    ~BoardView();
    BoardView(const BoardView&) = delete;
    BoardView& operator=(const BoardView&) = delete;

    // True while a copy of the picture for a window of this size is kept;
    // otherwise the frame must draw the scene and keepPicture.
    bool hasPicture(int width, int height) const;
    // Copies the window's picture as drawn so far.
    void keepPicture(int width, int height);
    // The board closed: the copy is of the past.
    void dropPicture() { pictureWidth = pictureHeight = 0; }
    // The darkened picture, the selection band and the board's lines.
    void draw(const LevelBoard& board, const KeyBindings& keys);

private:
    GLuint program = 0;
    GLint bandLocation = -1;
    GLuint picture = 0;
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    int pictureWidth = 0, pictureHeight = 0;
};
