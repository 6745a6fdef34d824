#pragma once

// Forgets the process-wide GL names (shared program, texture cache,
// post-processing objects) without deleting them. Only for a process that
// makes a fresh GL context after the old one died with its objects, as the
// GL tests do; the game keeps one context for its whole run.
void forgetRenderResources();
