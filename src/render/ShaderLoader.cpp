#include "render/ShaderLoader.h"

#include <cstdio>
#include <iostream>
#include <sstream>
#include <vector>

#include "core/Console.h"
#include "core/SafeFile.h"
#include "render/ShaderConstants.h"

namespace {

[[noreturn]] void failWithLog(const std::vector<char>& log) {
    std::cout << "Failed to compile shader" << std::endl;
    std::cout << (log.empty() ? "" : log.data()) << std::endl;
    console::pauseAndExit();
}

// The driver's log of a shader or a program, NUL-terminated.
std::vector<char> infoLog(GLuint object, void (*getLength)(GLuint, GLenum, GLint*),
                          void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*)) {
    GLint length = 0;
    getLength(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(length > 0 ? length + 1 : 1, '\0');
    if (length > 0) getLog(object, length, nullptr, log.data());
    return log;
}

std::vector<char> shaderLog(GLuint shader) { return infoLog(shader, glGetShaderiv, glGetShaderInfoLog); }

std::vector<char> programLog(GLuint program) { return infoLog(program, glGetProgramiv, glGetProgramInfoLog); }

// The text loader's way of reading: every line is preceded by a line break.
bool readLines(const std::string& path, std::string& source) {
    std::string text;
    if (!readTextFile(path, text)) return false;
    std::istringstream file(text);
    std::string line;
    while (std::getline(file, line)) source += "\n" + line;
    return true;
}

// The tolerant loader shows whatever the driver said and carries on.
void printLog(GLuint object, void (*getLength)(GLuint, GLenum, GLint*),
              void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*)) {
    GLint length = 0;
    getLength(object, GL_INFO_LOG_LENGTH, &length);
    if (length > 0) std::printf("%s\n", infoLog(object, getLength, getLog).data());
}

void compileTolerant(GLuint shader, const std::string& source) {
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    printLog(shader, glGetShaderiv, glGetShaderInfoLog);
}

// Attaches both shaders, names the two outputs and links.
void attachAndLink(GLuint program, GLuint vertex, GLuint fragment) {
    // Attached shaders only go once the program does; flagged now, they go
    // with it instead of staying behind.
    for (GLuint shader : {vertex, fragment}) {
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glBindFragDataLocation(program, 0, "fragColor");
    glBindFragDataLocation(program, 1, "fragData");
    linkShaderProgram(program);
}

GLuint buildProgram(const std::string& vertexPath, const std::string& fragmentPath, bool announce) {
    GLuint program = glCreateProgram();
    if (!announce) std::printf("Loading first shader\n");
    GLuint vertex = 0;
    compileShaderFile(GL_VERTEX_SHADER, vertex, vertexPath, announce);
    if (!announce) std::printf("Vert shader loaded\n");
    GLuint fragment = 0;
    compileShaderFile(GL_FRAGMENT_SHADER, fragment, fragmentPath, announce);
    if (!announce) std::printf("Frag shader loaded\n");
    attachAndLink(program, vertex, fragment);
    return program;
}

}  // namespace

bool readShaderSource(const std::string& path, std::string& source) { return readTextFile(path, source); }

namespace {

void compileSource(GLenum type, GLuint& shader, const std::string& source, bool announce) {
    shader = glCreateShader(type);
    if (shader == 0) {
        std::cout << "Failed to create shader" << std::endl;
        console::pauseAndExit();
    }
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != 0 && glIsShader(shader)) {
        if (announce) std::printf("Shader program loaded\n");
        return;
    }
    failWithLog(shaderLog(shader));
}

// The file's text; a file that cannot be read ends the game.
std::string readFileOrExit(const std::string& path, bool pathInMessage) {
    std::string source;
    if (!readShaderSource(path, source)) {
        std::cout << "Failed to open shader file: " << (pathInMessage ? path : "") << std::endl;
        console::pauseAndExit();
    }
    return source;
}

// The file's text with each line `#include "name"` replaced by the file of
// that name beside it (GLSL 3.30 has no includes of its own). #line keeps
// the driver's line numbers those of the files: source 1 is the included one.
std::string readSourceOrExit(const std::string& path, bool pathInMessage) {
    const std::string text = readFileOrExit(path, pathInMessage);
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    const std::string directive = "#include \"";
    std::istringstream lines(text);
    std::string source, line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const size_t close = line.rfind('"');
        if (line.compare(0, directive.size(), directive) != 0 || close < directive.size()) {
            source += line + "\n";
            continue;
        }
        const std::string name = line.substr(directive.size(), close - directive.size());
        source += "#line 1 1\n" + readFileOrExit(folder + name, pathInMessage) + "\n#line " +
                  std::to_string(number + 1) + " 0\n";
    }
    return source;
}

// The source with the shared constants and `defines` (whole lines) after
// its #version line, which must come first; its own lines keep their numbers.
std::string withPrelude(std::string source, const std::string& defines = "") {
    const size_t lineEnd = source.find('\n');
    source.insert(lineEnd == std::string::npos ? source.size() : lineEnd + 1,
                  shaderPrelude() + defines + "#line 2\n");
    return source;
}

void compileChecked(GLenum type, GLuint& shader, const std::string& path, bool pathInMessage, bool announce) {
    compileSource(type, shader, withPrelude(readSourceOrExit(path, pathInMessage)), announce);
}

}  // namespace

void compileShaderFile(GLenum type, GLuint& shader, const std::string& path, bool announce) {
    compileChecked(type, shader, path, true, announce);
}

void compileShaderFile(GLuint program, GLenum type, const char* path, bool pathInMessage) {
    GLuint shader = 0;
    compileChecked(type, shader, path, pathInMessage, false);
    glAttachShader(program, shader);
    // Goes with the program.
    glDeleteShader(shader);
}

void linkShaderProgram(GLuint program) {
    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != 0) return;
    failWithLog(programLog(program));
}

GLuint loadFboProgram(const std::string& fragmentPath) {
    return buildProgram("Shaders/fboShader.vert", fragmentPath, false);
}

GLuint loadBasicProgram(const std::string& fragmentPath) {
    GLuint program = buildProgram("Shaders/basicShader.vert", fragmentPath, true);
    std::printf("Shader loaded.\n");
    return program;
}

GLuint loadBasicProgramVariant(const std::string& fragmentPath, const std::string& defines, GLuint inputsLike) {
    const std::string source = withPrelude(readSourceOrExit(fragmentPath, true), defines);
    GLuint program = glCreateProgram();
    GLuint vertex = 0, fragment = 0;
    compileShaderFile(GL_VERTEX_SHADER, vertex, "Shaders/basicShader.vert");
    compileSource(GL_FRAGMENT_SHADER, fragment, source, false);
    GLint inputs = 0;
    glGetProgramiv(inputsLike, GL_ACTIVE_ATTRIBUTES, &inputs);
    for (GLint k = 0; k < inputs; ++k) {
        char name[64] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(inputsLike, GLuint(k), sizeof name, nullptr, &size, &type, name);
        const GLint location = glGetAttribLocation(inputsLike, name);
        if (location >= 0) glBindAttribLocation(program, GLuint(location), name);
    }
    attachAndLink(program, vertex, fragment);
    return program;
}

GLuint loadTextProgram() {
    GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    const char* vertexPath = "Shaders/TextVertexShader.vertexshader";
    std::string vertexSource;
    if (!readLines(vertexPath, vertexSource)) {
        std::printf("Impossible to open %s. Are you in the right directory ? Don't forget to read the FAQ !\n",
                    vertexPath);
        std::fflush(stdout);
        console::waitForKey();
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return 0;
    }
    std::string fragmentSource;
    // The fragment shader: its file keeps the name it shipped under.
    readLines("Shaders/TextVertexShader.fragmentshader", fragmentSource);

    compileTolerant(vertex, vertexSource);
    compileTolerant(fragment, fragmentSource);

    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    printLog(program, glGetProgramiv, glGetProgramInfoLog);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return program;
}
