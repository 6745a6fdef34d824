#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "scene/Node.h"

// One line of screen text. Positions are in text-screen units: 800 x 600,
// origin at the bottom-left corner, whatever the window size.
class TextNode : public Node {
public:
    // With `report` each line of what the node could not load is handed to
    // it at once, in order with whatever the text loader prints.
    explicit TextNode(void (*report)(const std::string& line) = nullptr);
    ~TextNode() override;

    // Called by the owner whenever the text is to be shown.
    void draw() override;

    // What this node could not load (the font, the text program), one console
    // line each; the node draws without it.
    std::vector<std::string> loadProblems;

    const char* text = "";  // not owned
    int x = 0;
    int y = 0;
    int size = 0;
};

// The font, buffers and program shared by all text nodes: the first node
// makes them and later ones only what is still missing (a font that could
// not be read, a program that did not link); the last node deletes them, and
// RenderResources::release deletes what is left.
struct TextResources {
    GLuint fontTexture = 0;
    bool fontDecoded = false;  // decodedCopy made, at the first text drawn
    GLuint positionBuffer = 0;
    GLuint uvBuffer = 0;
    GLuint program = 0;
    GLint samplerLocation = -1;
    GLuint vertexArray = 0;
};
extern TextResources textResources;

// The two triangles per character of a string, six entries each in both lists.
void buildTextVertices(const char* text, int x, int y, int size, std::vector<glm::vec2>& positions,
                       std::vector<glm::vec2>& uvs);

void drawText(const char* text, int x, int y, int size);
