#pragma once

#include <string>

// The models: the figure's body, wings (whole and torn), legs, the lamp and
// the goal gate, as OBJ + MTL with their textures, plus orthographic previews.
namespace meshes {

bool writeAll(const std::string& dataDir, const std::string& previewDir);

} // namespace meshes
