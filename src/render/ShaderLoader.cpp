#include "render/ShaderLoader.h"

#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <vector>

#include "core/SafeFile.h"
#include "render/ShaderConstants.h"

namespace {

// Link failures have always used the compile words.
bool failWithLog(const std::vector<char>& log, ShaderFailure& failure) {
    failure.set(std::string("Failed to compile shader\n") + (log.empty() ? "" : log.data()));
    return false;
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
bool attachAndLink(GLuint program, GLuint vertex, GLuint fragment, ShaderFailure& failure) {
    // Attached shaders only go once the program does; flagged now, they go
    // with it instead of staying behind.
    for (GLuint shader : {vertex, fragment}) {
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glBindFragDataLocation(program, 0, "fragColor");
    glBindFragDataLocation(program, 1, "fragData");
    return linkShaderProgram(program, failure);
}

// After a failure: what was made for the program goes, and 0 stands for it.
GLuint dropProgram(GLuint program, std::initializer_list<GLuint> shaders = {}) {
    for (GLuint shader : shaders) {
        if (shader != 0) glDeleteShader(shader);
    }
    glDeleteProgram(program);
    return 0;
}

GLuint buildProgram(const std::string& vertexPath, const std::string& fragmentPath, bool announce,
                    ShaderFailure& failure) {
    GLuint program = glCreateProgram();
    if (!announce) std::printf("Loading first shader\n");
    GLuint vertex = 0;
    if (!compileShaderFile(GL_VERTEX_SHADER, vertex, vertexPath, failure, announce))
        return dropProgram(program, {vertex});
    if (!announce) std::printf("Vert shader loaded\n");
    GLuint fragment = 0;
    if (!compileShaderFile(GL_FRAGMENT_SHADER, fragment, fragmentPath, failure, announce))
        return dropProgram(program, {vertex, fragment});
    if (!announce) std::printf("Frag shader loaded\n");
    return attachAndLink(program, vertex, fragment, failure) ? program : dropProgram(program);
}

}  // namespace

bool readShaderSource(const std::string& path, std::string& source) { return readTextFile(path, source); }

namespace {

bool compileSource(GLenum type, GLuint& shader, const std::string& source, bool announce, ShaderFailure& failure) {
    shader = glCreateShader(type);
    if (shader == 0) {
        failure.set("Failed to create shader");
        return false;
    }
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != 0 && glIsShader(shader)) {
        if (announce) std::printf("Shader program loaded\n");
        return true;
    }
    return failWithLog(shaderLog(shader), failure);
}

// The file's text; false (with the line that says so) when it cannot be read.
bool readFileChecked(const std::string& path, bool pathInMessage, std::string& text, ShaderFailure& failure) {
    if (readShaderSource(path, text)) return true;
    failure.set("Failed to open shader file: " + (pathInMessage ? path : std::string()));
    return false;
}

// The file's text with each line `#include "name"` replaced by the file of
// that name beside it (GLSL 3.30 has no includes of its own). #line keeps
// the driver's line numbers those of the files: source 1 is the included one.
bool readSourceChecked(const std::string& path, bool pathInMessage, std::string& source, ShaderFailure& failure) {
    std::string text;
    if (!readFileChecked(path, pathInMessage, text, failure)) return false;
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    const std::string directive = "#include \"";
    std::istringstream lines(text);
    std::string line;
    source.clear();
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const size_t close = line.rfind('"');
        if (line.compare(0, directive.size(), directive) != 0 || close < directive.size()) {
            source += line + "\n";
            continue;
        }
        const std::string name = line.substr(directive.size(), close - directive.size());
        std::string included;
        if (!readFileChecked(folder + name, pathInMessage, included, failure)) return false;
        source += "#line 1 1\n" + included + "\n#line " + std::to_string(number + 1) + " 0\n";
    }
    return true;
}

// The source with the shared constants and `defines` (whole lines) after
// its #version line, which must come first; its own lines keep their numbers.
std::string withPrelude(std::string source, const std::string& defines = "") {
    const size_t lineEnd = source.find('\n');
    source.insert(lineEnd == std::string::npos ? source.size() : lineEnd + 1,
                  shaderPrelude() + defines + "#line 2\n");
    return source;
}

bool compileChecked(GLenum type, GLuint& shader, const std::string& path, bool pathInMessage, bool announce,
                    ShaderFailure& failure) {
    std::string source;
    if (!readSourceChecked(path, pathInMessage, source, failure)) return false;
    return compileSource(type, shader, withPrelude(source), announce, failure);
}

}  // namespace

bool compileShaderFile(GLenum type, GLuint& shader, const std::string& path, ShaderFailure& failure,
                       bool announce) {
    return compileChecked(type, shader, path, true, announce, failure);
}

bool compileShaderFile(GLuint program, GLenum type, const char* path, bool pathInMessage, ShaderFailure& failure) {
    GLuint shader = 0;
    const bool compiled = compileChecked(type, shader, path, pathInMessage, false, failure);
    if (compiled) glAttachShader(program, shader);
    // Goes with the program, or now when it failed.
    if (shader != 0) glDeleteShader(shader);
    return compiled;
}

bool linkShaderProgram(GLuint program, ShaderFailure& failure) {
    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != 0) return true;
    return failWithLog(programLog(program), failure);
}

GLuint loadFboProgram(const std::string& fragmentPath, ShaderFailure& failure) {
    return buildProgram("Shaders/fboShader.vert", fragmentPath, false, failure);
}

GLuint loadBasicProgram(const std::string& fragmentPath, ShaderFailure& failure) {
    GLuint program = buildProgram("Shaders/basicShader.vert", fragmentPath, true, failure);
    if (program != 0) std::printf("Shader loaded.\n");
    return program;
}

GLuint loadBasicProgramVariant(const std::string& fragmentPath, const std::string& defines, GLuint inputsLike,
                               ShaderFailure& failure) {
    std::string source;
    if (!readSourceChecked(fragmentPath, true, source, failure)) return 0;
    source = withPrelude(source, defines);
    GLuint program = glCreateProgram();
    GLuint vertex = 0, fragment = 0;
    if (!compileShaderFile(GL_VERTEX_SHADER, vertex, "Shaders/basicShader.vert", failure))
        return dropProgram(program, {vertex});
    if (!compileSource(GL_FRAGMENT_SHADER, fragment, source, false, failure))
        return dropProgram(program, {vertex, fragment});
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
    return attachAndLink(program, vertex, fragment, failure) ? program : dropProgram(program);
}

GLuint loadTextProgram(ShaderFailure& failure) {
    GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    const std::string vertexPath = "Shaders/TextVertexShader.vertexshader";
    std::string vertexSource;
    if (!readLines(vertexPath, vertexSource)) {
        failure.set("Impossible to open " + vertexPath + ". Are you in the right directory ? Don't forget to read "
                    "the FAQ !");
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
