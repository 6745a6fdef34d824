#pragma once

#include <GL/glew.h>

#include <string>

// Builds the game's GLSL programs from the files in Shaders/. The strict
// loaders end the program (exit code -1) on any missing or broken file; the
// text loader is tolerant and returns 0 or a program that may not work.
// The strict loaders put the shared constants (ShaderConstants.h) after each
// file's #version line and splice in the files its `#include "name"` lines
// name, from beside it.

// Compiles one shader file into `shader`; ends the program on failure.
// With `announce` it prints "Shader program loaded" after a good compile.
void compileShaderFile(GLenum type, GLuint& shader, const std::string& path, bool announce = false);

// The attaching form used by the program holders: compiles the file and
// attaches it to `program`. The billboard holder's open-failure line carries
// no path (`pathInMessage` false).
void compileShaderFile(GLuint program, GLenum type, const char* path, bool pathInMessage);

// Links `program`; ends the program on failure with the link log.
void linkShaderProgram(GLuint program);

// A post-processing program: Shaders/fboShader.vert with the given fragment
// shader, outputs "fragColor" at 0 and "fragData" at 1.
GLuint loadFboProgram(const std::string& fragmentPath);

// A geometry program: Shaders/basicShader.vert with the given fragment shader.
GLuint loadBasicProgram(const std::string& fragmentPath);

// A variant of a geometry program: the fragment shader with `defines` (whole
// lines, "#define NAME value\n") after its #version line, its vertex inputs
// at the places `inputsLike` has them, so that the same vertex arrays feed
// both. Quiet; ends the program on failure like the strict loaders.
GLuint loadBasicProgramVariant(const std::string& fragmentPath, const std::string& defines, GLuint inputsLike);

// The screen-text program, or 0 when its vertex file is missing.
GLuint loadTextProgram();

// Reads a whole text file; false when it cannot be opened.
bool readShaderSource(const std::string& path, std::string& source);
