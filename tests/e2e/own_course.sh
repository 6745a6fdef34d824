# A course of the player's own: a PNG painted here and dropped into levels/
# is listed on the board after the ten, checked and given a par time, flown
# from the board and finished; its best time and ghost go by its map's key
# into courses.ini and ghosts/, and highscores.ini stays as it was. A file
# that is no PNG is listed as unplayable with one console line, and SPACE
# after the last own course goes back to level 1.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

LAST_ROW=760x20+10+366   # row 12, the last: at y 478 - 11 * 24, size 16

fresh_data
rm -rf "$WORK/game/levels" "$WORK/game/ghosts" "$WORK/game/courses.ini"
mkdir "$WORK/game/levels"
# 64 x 64, flat ground at red 10, the gate 20 rows up from the bottom: the
# figure glides there without a key pressed.
python3 - "$WORK/game/levels/straight.png" <<'EOF'
import struct, sys, zlib
pixels = [[(10, 0, 0)] * 64 for _ in range(64)]
pixels[44][32] = (10, 0, 255)
rows = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
with open(sys.argv[1], "wb") as out:
    out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 64, 64, 8, 2, 0, 0, 0))
              + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
EOF
echo "not an image" > "$WORK/game/levels/broken.png"
# The course's key: the FNV-1a hash of its bytes.
key=$(python3 -c '
import sys
h = 14695981039346656037
for b in open(sys.argv[1], "rb").read():
    h = ((h ^ b) * 1099511628211) % 2**64
print("%016x" % h)' "$WORK/game/levels/straight.png")
# As the game writes it, so that an unchanged file reads the same.
{ echo "1=30.5"; for level in 2 3 4 5 6 7 8 9 10; do echo "$level=50000"; done; } > "$WORK/game/highscores.ini"
cp "$WORK/game/highscores.ini" "$WORK/highscores.before"

start_game
wait_console "^FPS: " 120
press Tab 0.2
wait_console "^Level board at [0-9.]+ s$"
wait_console "^Course broken cannot be flown: levels/broken.png is not a PNG image" 60
wait_console "^Course straight: par [0-9]+\.[0-9]{2} s$" 120
[ "$(grep -c "^Course broken cannot be flown" "$WORK/game/console.log")" = 1 ] ||
    fail "the broken course was reported more than once"
wait_still
shot board
[ "$(white_count board "$LAST_ROW")" -gt 100 ] || fail "no row for the own course at the end of the list"

# Up from level 1 wraps to the last row, the straight course; the broken one
# cannot be chosen.
press Up 0.2
press Return 0.2
wait_console "^Flying course straight from the board$"
wait_console "^Ghost of course straight kept: [0-9]+ samples$" 180
# After the last own course SPACE goes back to level 1 (its ghost is looked
# for again).
wait_lines "^No ghost for level 1: " 1 180
press space 0.2
wait_lines "^No ghost for level 1: " 2 180
quit_game

cmp -s "$WORK/game/highscores.ini" "$WORK/highscores.before" ||
    fail "highscores.ini changed: $(cat "$WORK/game/highscores.ini")"
grep -qE "^$key=[0-9]+(\.[0-9]+)?$" "$WORK/game/courses.ini" ||
    fail "courses.ini has no time for $key: $(cat "$WORK/game/courses.ini" 2>&1)"
[ "$(wc -l < "$WORK/game/courses.ini")" = 1 ] || fail "courses.ini: $(cat "$WORK/game/courses.ini")"
[ -f "$WORK/game/ghosts/course-$key.ghost" ] || fail "no ghost file for the course: $(ls "$WORK/game/ghosts")"
echo "own_course: ok"
