#pragma once

#include <GL/glew.h>

#include <vector>

#include <glm/glm.hpp>

// The ground under a level's snow, for the snowfall update: snow that has
// sunk wholly under the ground can never show again, and ending it spares
// the update and the draw.
class SnowGround {
public:
    // `positions`: 3 floats per grid vertex, vertex (i, j) at i * columns + j,
    // in the terrain's own space, spread over extentX x extentZ units.
    SnowGround(const std::vector<float>& positions, int columns, int rows, float extentX, float extentZ);
    ~SnowGround();
    SnowGround(const SnowGround&) = delete;
    SnowGround& operator=(const SnowGround&) = delete;

    // One float per grid vertex (column j, row i): the lowest height among
    // the 3 x 3 vertices from (i, j) on, so one look bounds the ground under
    // anything within two cells. Empty when the grid is under 3 x 3.
    static std::vector<float> lowestAround(const std::vector<float>& positions, int columns, int rows);

    GLuint texture() const { return floorTexture; }
    // From the terrain's own space to (grid column, height, grid row).
    const glm::mat4& fromTerrain() const { return toGrid; }

private:
    GLuint floorTexture = 0;
    glm::mat4 toGrid{1.0f};
};
