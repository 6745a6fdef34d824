#pragma once

#include <GL/glew.h>

// The one owner of the GL objects that live as long as the process rather
// than a level: the basic program, the texture cache, the plain white and
// snowflake textures, the text and emitter programs and buffers, the level
// models of ModelCache, and the post-processing targets, programs and
// renderers. Each module that keeps such objects registers, once, how to
// delete them and how to forget them.
// Per-level objects (the terrain's program and meshes) go with their level.
class RenderResources {
public:
    using Action = void (*)();

    // Called from a static initialiser of the module that keeps the objects;
    // returns true so that it can initialise a flag.
    static bool add(Action release, Action forget);

    // The same for a module that keeps one texture or program name in a
    // variable of its own (0 while there is none).
    static bool addTexture(GLuint* name);
    static bool addProgram(GLuint* name);

    // Deletes every registered object, at exit while the context still
    // exists (before GLFW ends). The next user builds them anew.
    static void release();

    // Forgets every registered name without deleting it. Only for a process
    // that makes a fresh GL context after the old one died with its objects,
    // as the GL tests do; deleting them now could free objects of the new one.
    static void forget();
};
