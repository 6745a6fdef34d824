#!/usr/bin/env python3
"""Paints the README's worked example course, step by step, as a player
would in an image editor: a blank 512 x 512 image, the goal gate, a winding
valley, a wall by mistake, a ridge instead that is too steep, then a lower
ridge with lamps and night.

    tools/example/example-course.py OUT_DIR

writes OUT_DIR/1-blank.png ... OUT_DIR/6-night.png for moorglide-check."""

import math
import os
import struct
import sys
import zlib

SIZE = 512
FLOOR = 20      # red of the valley floor
WALL = 255      # red of the banks: far too high to fly over
STEEP = 150     # red of a ridge too steep to climb from the floor in time
RIDGE = 100     # red of the ridge that is flown over
GOAL_ROW = 40
WALL_ROWS = range(250, 262)


def centre(row):
    """The valley's middle column: an S-bend that starts at column 255."""
    return 255 + 60 * math.sin((507 - row) / 80)


def write_png(path, pixels):
    rows = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9))
                  + chunk(b"IEND", b""))


def blank():
    return [[(0, 0, 0) for _ in range(SIZE)] for _ in range(SIZE)]


def goal(pixels):
    pixels[GOAL_ROW][round(centre(GOAL_ROW))] = (0, 0, 255)


def valley(pixels):
    for row in range(SIZE):
        for column in range(SIZE):
            inside = abs(column - centre(row)) < 55
            rock = (row - 300) ** 2 + (column - centre(300)) ** 2 < 14 ** 2
            red = FLOOR if inside and not rock else WALL
            pixels[row][column] = (red,) + pixels[row][column][1:]


def wall(pixels, red):
    for row in WALL_ROWS:
        for column in range(SIZE):
            if abs(column - centre(row)) < 55:
                pixels[row][column] = (red,) + pixels[row][column][1:]


def lamps(pixels):
    for row in range(60, 500, 40):
        for side in (-50, 50):
            column = round(centre(row)) + side
            pixels[row][column] = (pixels[row][column][0], 255, 0)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "out/example"
    os.makedirs(out, exist_ok=True)
    pixels = blank()
    write_png(os.path.join(out, "1-blank.png"), pixels)
    goal(pixels)
    write_png(os.path.join(out, "2-goal.png"), pixels)
    valley(pixels)
    goal(pixels)
    write_png(os.path.join(out, "3-valley.png"), pixels)
    wall(pixels, WALL)
    write_png(os.path.join(out, "4-wall.png"), pixels)
    wall(pixels, STEEP)
    write_png(os.path.join(out, "5-ridge.png"), pixels)
    wall(pixels, RIDGE)
    lamps(pixels)
    pixels[SIZE - 1][0] = (WALL, 0, 240)  # night, in a corner of the banks
    write_png(os.path.join(out, "6-night.png"), pixels)


if __name__ == "__main__":
    main()
