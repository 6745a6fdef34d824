#pragma once

// Just enough of GL for the DDS loader without a context: texture names
// count up, and the compressed upload checks each mip level it is given.

// Points GLEW's compressed-upload entry at the checking stub.
void installGlStubs();
// Forgets the uploads of the previous texture.
void resetGlStubs();
// Mip levels uploaded since the reset.
int uploadedLevels();
