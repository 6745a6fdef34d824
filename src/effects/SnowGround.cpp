#include "effects/SnowGround.h"

#include <algorithm>

std::vector<float> SnowGround::lowestAround(const std::vector<float>& positions, int columns, int rows) {
    if (columns < 3 || rows < 3 || positions.size() < size_t(columns) * size_t(rows) * 3) return {};
    auto at = [columns](int i, int j) { return size_t(i) * size_t(columns) + size_t(j); };
    // Along each row first, then down the columns; the last rows and columns
    // take what is left of the block.
    std::vector<float> across(at(rows, 0));
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            float low = positions[at(i, j) * 3 + 1];
            for (int k = 1; k <= 2; ++k) low = std::min(low, positions[at(i, std::min(j + k, columns - 1)) * 3 + 1]);
            across[at(i, j)] = low;
        }
    std::vector<float> lowest(across.size());
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            float low = across[at(i, j)];
            for (int k = 1; k <= 2; ++k) low = std::min(low, across[at(std::min(i + k, rows - 1), j)]);
            lowest[at(i, j)] = low;
        }
    return lowest;
}

SnowGround::SnowGround(const std::vector<float>& positions, int columns, int rows, float extentX, float extentZ) {
    const std::vector<float> lowest = lowestAround(positions, columns, rows);
    if (lowest.empty() || extentX <= 0.0f || extentZ <= 0.0f) return;
    // Column j lies at x = X (j / columns - 1/2), row i at z = Z (1/2 - i / rows).
    toGrid = glm::mat4(1.0f);
    toGrid[0][0] = float(columns) / extentX;
    toGrid[2][2] = -float(rows) / extentZ;
    toGrid[3] = glm::vec4(0.5f * float(columns), 0.0f, 0.5f * float(rows), 1.0f);

    glGenTextures(1, &floorTexture);
    glBindTexture(GL_TEXTURE_2D, floorTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32F, columns, rows, 0, GL_RED, GL_FLOAT, lowest.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

SnowGround::~SnowGround() {
    if (floorTexture) glDeleteTextures(1, &floorTexture);
}
