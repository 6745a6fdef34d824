#pragma once

#include <GL/glew.h>

#include <vector>

#include "render/BillboardProgram.h"
#include "scene/Node.h"

// One camera-facing textured square at the node's world position.
class BillboardNode : public Node {
public:
    // Whoever makes one checks program.failure: a node without its program
    // cannot be drawn.
    BillboardNode();
    ~BillboardNode() override;

    // Called in the opaque pass of every frame.
    void draw() override;

    // Loads "Textures/snowflake.png" into a new texture appended to the list.
    GLuint loadSnowflakeTexture();

    BillboardProgram program;
    GLuint vertexArray = 0;
    unsigned textureCount = 0;
    std::vector<GLuint> textures;
};

// "Textures/snowflake.png" as one texture for every snow emitter, kept with
// the render resources. Each call while the file is missing or broken tries it
// again (printing the decoder's line) and leaves an empty texture; once it
// has loaded, the texture is kept.
GLuint sharedSnowflakeTexture();
