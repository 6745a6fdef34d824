#pragma once

#include <GL/glew.h>

#include <string>

#include "render/ShaderFailure.h"

// Builds the game's GLSL programs from the files in Shaders/. The strict
// loaders stop at the first missing or broken file and hand the lines that
// say so back in `failure` (false or 0 then, nothing printed); the caller
// shows them and ends the game. The text loader is tolerant and returns 0
// or a program that may not work.
// The strict loaders put the shared constants (ShaderConstants.h) after each
// file's #version line and splice in the files its `#include "name"` lines
// name, from beside it.

// Compiles one shader file into `shader`; false on failure.
// With `announce` it prints "Shader program loaded" after a good compile.
bool compileShaderFile(GLenum type, GLuint& shader, const std::string& path, ShaderFailure& failure,
                       bool announce = false);

// The attaching form used by the program holders: compiles the file and
// attaches it to `program`. The billboard holder's open-failure line carries
// no path (`pathInMessage` false).
bool compileShaderFile(GLuint program, GLenum type, const char* path, bool pathInMessage, ShaderFailure& failure);

// Links `program`; false on failure, with the link log in `failure`.
bool linkShaderProgram(GLuint program, ShaderFailure& failure);

// A post-processing program: Shaders/fboShader.vert with the given fragment
// shader, outputs "fragColor" at 0 and "fragData" at 1.
GLuint loadFboProgram(const std::string& fragmentPath, ShaderFailure& failure);

// A geometry program: Shaders/basicShader.vert with the given fragment shader.
GLuint loadBasicProgram(const std::string& fragmentPath, ShaderFailure& failure);

// A variant of a geometry program: the fragment shader with `defines` (whole
// lines, "#define NAME value\n") after its #version line, its vertex inputs
// at the places `inputsLike` has them, so that the same vertex arrays feed
// both. Quiet; fails like the strict loaders.
GLuint loadBasicProgramVariant(const std::string& fragmentPath, const std::string& defines, GLuint inputsLike,
                               ShaderFailure& failure);

// The screen-text program, or 0 when its vertex file is missing; then
// `failure` holds the line that says so, for the caller to show.
GLuint loadTextProgram(ShaderFailure& failure);

// Reads a whole text file; false when it cannot be opened.
bool readShaderSource(const std::string& path, std::string& source);
