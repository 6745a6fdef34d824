#pragma once

#include <vector>

class Node;

// How far two pictures of the same size (RGBA, 4 bytes a pixel) differ in
// their colour channels: the mean absolute difference of a channel (0-255)
// and the share of pixels whose channels all differ by at most `tolerance`.
struct PictureDifference {
    double meanAbsolute = 0.0;
    double shareWithin = 1.0;
};

PictureDifference comparePictures(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                                  int tolerance = 8);

// Draws the scene under `root` as the frame loop's opaque and transparent
// passes do without motion blur, into the window's back buffer, and reads it
// back (width x height, rows bottom up). Nothing moves: the same scene drawn
// twice gives the same picture.
std::vector<unsigned char> drawScenePicture(Node* root, int width, int height);
