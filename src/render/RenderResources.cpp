#include "render/RenderResources.h"

#include <vector>

namespace {

struct Entry {
    RenderResources::Action release = nullptr;
    RenderResources::Action forget = nullptr;
    GLuint* texture = nullptr;
    GLuint* program = nullptr;
};

// A function's static: modules register from their own static initialisers,
// whose order against this file's is not known.
std::vector<Entry>& entries() {
    static std::vector<Entry> list;
    return list;
}

}  // namespace

bool RenderResources::add(Action release, Action forget) {
    entries().push_back({release, forget, nullptr, nullptr});
    return true;
}

bool RenderResources::addTexture(GLuint* name) {
    entries().push_back({nullptr, nullptr, name, nullptr});
    return true;
}

bool RenderResources::addProgram(GLuint* name) {
    entries().push_back({nullptr, nullptr, nullptr, name});
    return true;
}

void RenderResources::release() {
    // A program in use would outlive its deletion.
    glUseProgram(0);
    for (const Entry& entry : entries()) {
        if (entry.release) entry.release();
        if (entry.texture && *entry.texture) glDeleteTextures(1, entry.texture);
        if (entry.program && *entry.program) glDeleteProgram(*entry.program);
        if (entry.texture) *entry.texture = 0;
        if (entry.program) *entry.program = 0;
    }
}

void RenderResources::forget() {
    for (const Entry& entry : entries()) {
        if (entry.forget) entry.forget();
        if (entry.texture) *entry.texture = 0;
        if (entry.program) *entry.program = 0;
    }
}
