# The window, the config file, the frame counter and both ways to quit.
source "$(dirname "$0")/lib.bash" "$@"

# No config.ini: defaults, an 800 x 600 window with the game's title.
fresh_data
rm -f "$WORK/game/config.ini"
start_game
wait_console "config.ini not found"
grep -q "^WIDTH=" "$WORK/game/console.log" && fail "a summary was printed without a config file"
info=$(xwininfo -id "$GAME_WINDOW")
echo "$info" | grep -q 'Width: 800' || fail "width is not 800: $info"
echo "$info" | grep -q 'Height: 600' || fail "height is not 600: $info"
echo "$info" | grep -q '"-----:::::Moorglide:::::-----"' || fail "wrong title: $info"

# About one "FPS: " line a second.
wait_console "^FPS: [0-9]+" 20
for _ in $(seq 300); do
    [ "$(grep -cE '^FPS: [0-9]+$' "$WORK/game/console.log")" -ge 3 ] && break
    sleep 0.1
done
lines=$(grep -cE '^FPS: [0-9]+$' "$WORK/game/console.log")
[ "$lines" -ge 3 ] || fail "only $lines FPS lines after 30 s"

# Escape ends the game with exit code 0, writing no error.
press Escape
wait_exit 30
[ "$EXIT_CODE" = 0 ] || fail "Escape: exit code $EXIT_CODE"
grep -q "GL ERROR DETECTED" "$WORK/game/console.log" && fail "GL error on the console"

# WIDTH=1024 gives a window 1024 wide; a window-manager close ends it with 0.
fresh_data
printf 'WIDTH=1024\n' > "$WORK/game/config.ini"
start_game
wait_console "^WIDTH=1024$"
xwininfo -id "$GAME_WINDOW" | grep -q 'Width: 1024' || fail "width is not 1024"
wait_console "^FPS: " 20
"$BUILD_DIR/tests/wm_close" "$GAME_WINDOW" || fail "could not send WM_DELETE_WINDOW"
wait_exit 30
[ "$EXIT_CODE" = 0 ] || fail "window close: exit code $EXIT_CODE"
# A side below 1 opens no window: the start-up failure and exit code -1.
for size in WIDTH=0 WIDTH=-5 HEIGHT=0; do
    fresh_data
    printf '%s\n' "$size" > "$WORK/game/config.ini"
    (cd "$WORK/game" && exec "$GAME_BIN" > console.log 2>&1 < /dev/null) &
    GAME_PID=$!
    wait_exit 60
    [ "$EXIT_CODE" = 255 ] || fail "$size: exit code $EXIT_CODE"
    grep -qx "Failed to open window" "$WORK/game/console.log" || fail "$size: no \"Failed to open window\""
done

# A width beyond the screen is cut to it, with one line and no GL error.
for width in 100000; do
    fresh_data
    printf 'WIDTH=%s\n' "$width" > "$WORK/game/config.ini"
    start_game
    wait_console "^FPS: " 30
    screen=$(xwininfo -root | awk '/Width:/ { print $2 }')
    expected=$((screen > 800 ? screen : 800))
    xwininfo -id "$GAME_WINDOW" | grep -q "Width: $expected" || fail "WIDTH=$width: the window is not $expected wide"
    lines=$(grep -c "^A $width x 600 window is not possible here: the window is $expected x 600$" "$WORK/game/console.log")
    [ "$lines" = 1 ] || fail "WIDTH=$width: $lines size lines"
    press Escape
    wait_exit 30
    [ "$EXIT_CODE" = 0 ] || fail "WIDTH=$width: exit code $EXIT_CODE"
    grep -q "GL ERROR DETECTED" "$WORK/game/console.log" && fail "WIDTH=$width: GL error on the console"
    grep -q "NOT working" "$WORK/game/console.log" && fail "WIDTH=$width: a frame buffer failed"
done
echo "startup: ok"
