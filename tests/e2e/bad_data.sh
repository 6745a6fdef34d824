# Unusable game data ends the game in order: a message naming the file and a
# non-zero exit code, never a crash or a hang; missing text files are only
# reported.
source "$(dirname "$0")/lib.bash" "$@"

run_to_end() {
    (cd "$WORK/game" && exec "$GAME_BIN" > console.log 2>&1 < /dev/null) &
    GAME_PID=$!
    wait_exit 120
}

# A level map that is not a PNG.
fresh_data
echo "not a picture" > "$WORK/game/Maps/map1.png"
run_to_end
[ "$EXIT_CODE" = 1 ] || fail "broken map: exit code $EXIT_CODE"
grep -q "Maps/map1.png" "$WORK/game/console.log" || fail "the broken map is not named"

# A missing player part.
fresh_data
rm "$WORK/game/Meshes/lwing.obj"
run_to_end
[ "$EXIT_CODE" = 1 ] || fail "missing wing: exit code $EXIT_CODE"
grep -q "Meshes/lwing.obj" "$WORK/game/console.log" || fail "the missing part is not named"

# A missing post-processing shader ends start-up with the strict loader's line.
fresh_data
rm "$WORK/game/Shaders/plainFBOShader.frag"
run_to_end
[ "$EXIT_CODE" = 255 ] || fail "missing shader: exit code $EXIT_CODE"
grep -q "^Failed to open shader file: Shaders/plainFBOShader.frag$" "$WORK/game/console.log" ||
    fail "the missing shader is not named"
# The basic program, first needed by the player's meshes, ends start-up the
# same way, and its line is the last: the parts made so far go quietly.
fresh_data
rm "$WORK/game/Shaders/basicShader.frag"
run_to_end
[ "$EXIT_CODE" = 255 ] || fail "missing basic shader: exit code $EXIT_CODE"
[ "$(tail -n 1 "$WORK/game/console.log")" = "Failed to open shader file: Shaders/basicShader.frag" ] ||
    fail "the missing basic shader is not the last line"
! grep -qE "^Deleting Geometry|^Cannot assemble" "$WORK/game/console.log" || fail "the parts did not go quietly"
# A missing billboard shader ends the first level build, though level 1 has
# no snow, with the billboard loader's line, which names no file.
fresh_data
rm "$WORK/game/Shaders/Billboard.geometryshader"
run_to_end
[ "$EXIT_CODE" = 255 ] || fail "missing billboard shader: exit code $EXIT_CODE"
grep -q "^Failed to open shader file: $" "$WORK/game/console.log" || fail "no billboard loader line"
[ "$(grep -c "^ShP2: " "$WORK/game/console.log")" = 1 ] || fail "the game did not end at the first level build"

# Files that are FIFOs with nobody at the other end are unreadable, never
# waited on: the config and highscores read as missing, the map ends the game
# and the highscores FIFO is not written either.
fresh_data
for name in config.ini highscores.ini Maps/map1.png; do
    rm -f "$WORK/game/$name"
    mkfifo "$WORK/game/$name"
done
run_to_end
[ "$EXIT_CODE" = 1 ] || fail "FIFO map: exit code $EXIT_CODE"
grep -q "^config.ini not found$" "$WORK/game/console.log" || fail "the FIFO config.ini was read"
grep -q "^highscore.ini not found$" "$WORK/game/console.log" || fail "the FIFO highscores.ini was read"
grep -q "Maps/map1.png: cannot be read (not a regular file)" "$WORK/game/console.log" ||
    fail "the FIFO map is not named"
[ -p "$WORK/game/highscores.ini" ] || fail "the FIFO highscores.ini was replaced"

# A FIFO texture, font, sound and ghost leave the game running without them.
fresh_data
mkdir "$WORK/game/ghosts"
for name in Textures/snow.png Holstein.DDS Sounds/wind.wav ghosts/level1.ghost; do
    rm -f "$WORK/game/$name"
    mkfifo "$WORK/game/$name"
done
start_game
wait_console "^FPS: " 60
for line in "lodepng failed to load image: Textures/snow.png \(not a regular file\)" \
    "Holstein.DDS could not be opened" "No ghost for level 1: ghosts/level1.ghost not a regular file" \
    "Sound off: Sounds/wind.wav: cannot be opened: not a regular file"; do
    grep -qE "$line" "$WORK/game/console.log" || fail "no line: $line"
done
press Escape
wait_exit 30
[ "$EXIT_CODE" = 0 ] || fail "FIFO data: exit code $EXIT_CODE"

# A missing font or text vertex shader is reported once per text line, 13
# times in all, and the game plays on without them.
for missing in "Holstein.DDS:Holstein.DDS could not be opened. Are you" \
               "Shaders/TextVertexShader.vertexshader:Impossible to open Shaders/TextVertexShader.vertexshader. Are you"; do
    file=${missing%%:*}
    message=${missing#*:}
    fresh_data
    rm "$WORK/game/$file"
    start_game
    wait_console "^FPS: " 120
    press Escape
    wait_exit 120
    [ "$EXIT_CODE" = 0 ] || fail "missing $file: exit code $EXIT_CODE"
    count=$(grep -cF "$message" "$WORK/game/console.log")
    [ "$count" = 13 ] || fail "missing $file: reported $count times, not 13"
done
echo "bad_data: ok"
