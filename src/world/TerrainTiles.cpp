#include "world/TerrainTiles.h"

#include <algorithm>

std::vector<std::vector<uint32_t>> terrainTiles(uint32_t columns, uint32_t rows, uint32_t tileCells) {
    std::vector<std::vector<uint32_t>> tiles;
    if (columns < 2 || rows < 2 || tileCells == 0) return tiles;
    const uint32_t quadColumns = columns - 1;
    const uint32_t quadRows = rows - 1;
    const uint32_t tileColumns = (quadColumns + tileCells - 1) / tileCells;
    const uint32_t tileRows = (quadRows + tileCells - 1) / tileCells;
    tiles.reserve(size_t(tileColumns) * tileRows);
    for (uint32_t tileRow = tileRows; tileRow-- > 0;) {
        for (uint32_t tileColumn = tileColumns; tileColumn-- > 0;) {
            const uint32_t firstRow = tileRow * tileCells, firstColumn = tileColumn * tileCells;
            const uint32_t endRow = std::min(firstRow + tileCells, quadRows);
            const uint32_t endColumn = std::min(firstColumn + tileCells, quadColumns);
            std::vector<uint32_t> triangles;
            triangles.reserve(size_t(endRow - firstRow) * (endColumn - firstColumn) * 2);
            for (uint32_t i = endRow; i-- > firstRow;) {
                for (uint32_t j = endColumn; j-- > firstColumn;) {
                    const uint32_t first = 2 * (i * quadColumns + j);
                    triangles.push_back(first + 1);
                    triangles.push_back(first);
                }
            }
            tiles.push_back(std::move(triangles));
        }
    }
    return tiles;
}
