#pragma once

#include <GL/glew.h>

#include <initializer_list>
#include <utility>

#include "render/ShaderFailure.h"

// A GL program built from shader files together with its uniform locations;
// the holder owns the program and deletes it when it goes.
class ShaderProgram {
public:
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    GLuint program = 0;
    // Set when a file was missing or broken: the holder stopped there, and
    // whoever made it shows why and ends the game.
    ShaderFailure failure;

protected:
    // Creates the empty program; a failure is reported on stderr.
    ShaderProgram();
    ~ShaderProgram();

    // Fetches each named uniform's location into its field (-1 when the
    // linked program has no such uniform).
    void locate(std::initializer_list<std::pair<GLint*, const char*>> uniforms) const;
};
