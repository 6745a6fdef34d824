#pragma once

struct GLFWwindow;
class PlayerNode;

// Once per pass: polls the player's joysticks for their buttons, then the
// function keys (F2 frame rate, F3 wireframe, F4 texture sampling, F5
// mip-mapping, F6 motion blur, F8 frustum culling, F9 transparency, F10 the
// render scale: auto, full, full with the terrain's whole grid; F7 does
// nothing), ENTER or Joy2 to restart the level, C to step the camera distance
// and M to mute the sound.
void handleSettingKeys(GLFWwindow* window);
// While the status line shows the automatic render scale, it shows the scale
// in use now.
void refreshRenderScaleStatus();

// N, F and L (day/night, fog, the player's headlight), once per frame.
void handleEnvironmentKeys(GLFWwindow* window, PlayerNode& player);
// The environment key acting in this frame (GLFW_KEY_N, _F or _L), or 0:
// a key acts once and then not again until N, F and L are all released.
int pollEnvironmentKey(GLFWwindow* window);
// Set while one of N, F, L has acted and not all three were released since;
// set at start so that a key held while the game starts is ignored.
extern bool environmentKeyLatch;

// Prints the texture sampling and mip-mapping settings on the console.
void printTextureQuality();

// Called whenever F3 switches the wireframe mode. The default sets the
// polygon mode when a GL context is current; tests install a recorder.
using PolygonModeHook = void (*)(bool wireframe);
extern PolygonModeHook polygonModeHook;
void applyPolygonMode(bool wireframe);
