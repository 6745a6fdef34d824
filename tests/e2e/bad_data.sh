# Unusable game data ends the game in order: a message naming the file and a
# non-zero exit code, never a crash or a hang.
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
# A missing billboard shader ends the first level build, though level 1 has
# no snow, with the billboard loader's line, which names no file.
fresh_data
rm "$WORK/game/Shaders/Billboard.geometryshader"
run_to_end
[ "$EXIT_CODE" = 255 ] || fail "missing billboard shader: exit code $EXIT_CODE"
grep -q "^Failed to open shader file: $" "$WORK/game/console.log" || fail "no billboard loader line"
[ "$(grep -c "^ShP2: " "$WORK/game/console.log")" = 1 ] || fail "the game did not end at the first level build"
echo "bad_data: ok"
