#pragma once

#include <string>

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include "Image.h"

// The models: the figure's body, wings (whole and torn), legs, the lamp and
// the goal gate, as OBJ + MTL with their textures, plus orthographic previews.
namespace meshes {

bool writeAll(const std::string& dataDir, const std::string& previewDir);

// Draws the whole figure over `picture` (RGB), orthographic along `forward`
// with `up` at the top, `scale` pixels per unit, its origin on pixel `origin`.
void drawFigure(Image& picture, glm::vec3 forward, glm::vec3 up, float scale, glm::vec2 origin);

} // namespace meshes
