#include "effects/TextNode.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/SafeFile.h"
#include "effects/DdsTexture.h"
#include "render/RenderResources.h"
#include "render/ShaderLoader.h"

TextResources textResources;

namespace {

const char* fontFile = "Holstein.DDS";
const float cellStep = 0.0625f;  // one of the 16 cells along each side of the font

// Text nodes alive; the shared set goes with the last of them.
int liveTextNodes = 0;

void deleteTextResources(TextResources& set) {
    if (set.positionBuffer != 0) glDeleteBuffers(1, &set.positionBuffer);
    if (set.uvBuffer != 0) glDeleteBuffers(1, &set.uvBuffer);
    if (set.fontTexture != 0) glDeleteTextures(1, &set.fontTexture);
    if (set.program != 0) glDeleteProgram(set.program);
    if (set.vertexArray != 0) glDeleteVertexArrays(1, &set.vertexArray);
    set = TextResources();
}

bool linked(GLuint program) {
    if (program == 0) return false;
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status != 0;
}

// Text nodes that outlive the context (or leak) leave the set to the owner.
[[maybe_unused]] const bool registered = RenderResources::add([] { deleteTextResources(textResources); },
                                                              [] { textResources = TextResources(); });

}  // namespace

TextNode::TextNode(void (*report)(const std::string& line)) {
    auto note = [this, report](const std::string& line) {
        loadProblems.push_back(line);
        if (report) report(line);
    };
    // One set for all nodes, made by the first; a part that could not be
    // loaded is tried again, and noted again, by each later node.
    TextResources& set = textResources;
    if (set.fontTexture == 0) {
        FILE* file = openRegularFile(fontFile);
        if (!file) {
            note(std::string(fontFile) +
                 " could not be opened. Are you in the right directory ? Don't forget to read the FAQ !");
        } else {
            set.fontTexture = loadDdsTexture(file, fontFile);
            set.fontDecoded = false;
        }
    }
    if (set.positionBuffer == 0) glGenBuffers(1, &set.positionBuffer);
    if (set.uvBuffer == 0) glGenBuffers(1, &set.uvBuffer);
    if (!linked(set.program)) {
        // A program that did not link is built again, its driver log shown again.
        if (set.program != 0) glDeleteProgram(set.program);
        ShaderFailure failure;
        set.program = loadTextProgram(failure);
        if (failure) note(failure.lines());
        set.samplerLocation = set.program != 0 ? glGetUniformLocation(set.program, "myTextureSampler") : -1;
    }
    if (set.vertexArray == 0) glGenVertexArrays(1, &set.vertexArray);
    glBindVertexArray(set.vertexArray);
    ++liveTextNodes;
}

TextNode::~TextNode() {
    if (--liveTextNodes <= 0) {
        liveTextNodes = 0;
        deleteTextResources(textResources);
    }
}

void TextNode::draw() {
    for (Node* child : children) child->draw();
    drawText(text, x, y, size);
}

void buildTextVertices(const char* text, int x, int y, int size, std::vector<glm::vec2>& positions,
                       std::vector<glm::vec2>& uvs) {
    positions.clear();
    uvs.clear();
    if (!text) return;
    size_t length = std::strlen(text);
    positions.reserve(length * 6);
    uvs.reserve(length * 6);
    for (size_t i = 0; i < length; ++i) {
        int index = static_cast<int>(i);
        float left = static_cast<float>(x + index * size);
        float right = static_cast<float>(x + (index + 1) * size);
        float bottom = static_cast<float>(y);
        float top = static_cast<float>(y + size);
        positions.insert(positions.end(), {glm::vec2(left, top), glm::vec2(left, bottom), glm::vec2(right, top),
                                           glm::vec2(right, bottom), glm::vec2(right, top), glm::vec2(left, bottom)});

        // The byte as a signed code, as the font grid has always been indexed.
        int code = static_cast<signed char>(text[i]);
        float u = static_cast<float>(code % 16) * cellStep;
        float v = static_cast<float>(code / 16) * cellStep;
        uvs.insert(uvs.end(), {glm::vec2(u, v), glm::vec2(u, v + cellStep), glm::vec2(u + cellStep, v),
                               glm::vec2(u + cellStep, v + cellStep), glm::vec2(u + cellStep, v),
                               glm::vec2(u, v + cellStep)});
    }
}

void drawText(const char* text, int x, int y, int size) {
    // Without a text node there are no buffers to fill.
    if (textResources.vertexArray == 0) return;
    // Decoding takes the driver about 10 ms: once, for the set in use, not
    // for every node that builds one.
    if (!textResources.fontDecoded) {
        textResources.fontTexture = decodedCopy(textResources.fontTexture);
        textResources.fontDecoded = true;
    }
    glBindVertexArray(textResources.vertexArray);

    std::vector<glm::vec2> positions;
    std::vector<glm::vec2> uvs;
    buildTextVertices(text, x, y, size, positions, uvs);

    glBindBuffer(GL_ARRAY_BUFFER, textResources.positionBuffer);
    glBufferData(GL_ARRAY_BUFFER, positions.size() * sizeof(glm::vec2), positions.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, textResources.uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, uvs.size() * sizeof(glm::vec2), uvs.data(), GL_STATIC_DRAW);

    glUseProgram(textResources.program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textResources.fontTexture);
    glUniform1i(textResources.samplerLocation, 0);

    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, textResources.positionBuffer);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, textResources.uvBuffer);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, nullptr);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(positions.size()));

    glDisable(GL_BLEND);
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    glBindVertexArray(0);
}
