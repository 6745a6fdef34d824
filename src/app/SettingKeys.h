#pragma once

struct GLFWwindow;

// Once per pass: polls the player's joysticks for their buttons, then the
// function keys (F2 frame rate, F3 wireframe, F4 texture sampling, F5
// mip-mapping, F6 motion blur, F7 full terrain detail, F8 frustum culling, F9
// transparency), ENTER or Joy2 to restart the level, C to step the camera
// distance and M to mute the sound.
void handleSettingKeys(GLFWwindow* window);

// Prints the texture sampling and mip-mapping settings on the console.
void printTextureQuality();

// Called whenever F3 switches the wireframe mode. The default sets the
// polygon mode when a GL context is current; tests install a recorder.
using PolygonModeHook = void (*)(bool wireframe);
extern PolygonModeHook polygonModeHook;
void applyPolygonMode(bool wireframe);
