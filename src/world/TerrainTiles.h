#pragma once

#include <cstdint>
#include <vector>

// Groups the triangles of a terrain grid (columns x rows vertices, two
// triangles per quad, quads row by row) into square tiles of `tileCells` x
// `tileCells` quads, so that the tiles out of view can be skipped. The result
// lists, tile by tile, the triangle numbers in the order they go to GL: the
// grid starts at the far end of the map and the player looks from the start
// towards it, so tiles and the triangles within them run from the last row
// and column backwards, which draws near ground first and lets depth testing
// skip the hidden fragments behind it. Tiles on the last row or column may be
// narrower; a grid without quads gives no tiles.
std::vector<std::vector<uint32_t>> terrainTiles(uint32_t columns, uint32_t rows, uint32_t tileCells);
