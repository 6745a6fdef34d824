#pragma once

#include "player/PlayerNode.h"
#include "render/ShaderFailure.h"

// The figure as the game draws it: the parts' meshes, see-through wings, the
// headlight and the wing lamps' lights, around the GL-free assembly.

// Imports the meshes from Meshes/ and builds the figure at its start. A part
// that cannot be imported is reported with its file name and gives nullptr:
// the figure cannot fly without all of them. A basic program that cannot be
// built gives nullptr too, unreported: the reason is in `failure`.
PlayerNode* assemblePlayer(GLFWwindow* window, ShaderFailure& failure);
// Adds the headlight, the lamps' lights and the wings' transparency to parts
// that all exist (meshes or mesh-less GeometryNodes for the wings), then
// builds the figure (takes ownership).
PlayerNode* assembleLitPlayer(GLFWwindow* window, PlayerParts parts);
