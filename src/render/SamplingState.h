#pragma once

// Sets the filters of the texture bound to GL_TEXTURE_2D on the active unit
// from the current render settings.
void applySamplingState();
