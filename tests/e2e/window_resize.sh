# A window resized to 1200 x 900 is filled by the picture, not only its
# lower-left 800 x 600; minimising and restoring it raises no GL error.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

fresh_data
start_game
wait_console "^FPS: " 60
xdotool windowsize "$GAME_WINDOW" 1200 900
wait_frames 3
screenshot resized
size=$(identify -format "%w %h" "$WORK/resized.png")
read -r w h <<< "$size"
[ "$w" -ge 1200 ] && [ "$h" -ge 900 ] || fail "the screen is only $size"

# Right of x 800 and below y 600 the old view ended in the clear colour; the
# ground of the start view must reach there now.
std=$(convert "$WORK/resized.png" -crop 300x200+880+650 +repage -colorspace Gray -format "%[fx:standard_deviation]" info:)
greater "$std" 0.03 || fail "the lower right of the window is uniform (deviation $std)"
sky=$(convert "$WORK/resized.png" -crop 1200x40+0+0 +repage -resize 1x1! -format "%[fx:int(255*b)]" info:)
ground=$(convert "$WORK/resized.png" -crop 300x200+880+650 +repage -resize 1x1! -format "%[fx:int(255*b)]" info:)
[ "$ground" -lt "$sky" ] || fail "the lower right looks like sky ($ground against $sky)"

# Waits for two more frame-rate lines: the game went on drawing.
wait_fps_lines() {
    local want=$(($(grep -c "^FPS: " "$WORK/game/console.log") + 2))
    for _ in $(seq 600); do
        [ "$(grep -c "^FPS: " "$WORK/game/console.log")" -ge "$want" ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended after minimising"
        sleep 0.1
    done
    fail "no frames for a minute"
}

# Without a window manager, minimising is asked for and the window is also
# unmapped, as an iconified window is.
xdotool windowminimize "$GAME_WINDOW" 2>/dev/null
xdotool windowunmap "$GAME_WINDOW"
# Frames run while it is unmapped: two more frame-rate lines.
wait_fps_lines
xdotool windowmap "$GAME_WINDOW" 2>/dev/null
xdotool windowactivate "$GAME_WINDOW" 2>/dev/null || true
# Having lost the focus the game is paused, but it draws on.
wait_fps_lines
grep -q "GL ERROR DETECTED" "$WORK/game/console.log" && fail "GL error after resizing or minimising"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended after minimising"

press Escape
wait_exit 60
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
echo "window_resize: ok"
