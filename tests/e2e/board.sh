# The level board: Tab pauses and shows it, a night level chosen on it is
# flown from its start, Tab closes it and the clock runs on; and a
# controls.ini that moves nose-up to K.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

TITLE=480x40+10+20     # "Choose a level", size 30, at y 540
TIME=700x30+0+560      # the time line at y 10, size 30
ROW_5=760x20+10+200    # level 5's row and its band, at y 478 - 4 * 24
TOP=800x300+0+0        # the upper half of the view: sky when the nose is up

# Presses a key on the still board and waits until the picture changes.
press_and_see() {
    local before end=$((SECONDS + 180))
    before=$(import -window "$GAME_WINDOW" rgb:- 2>/dev/null | md5sum)
    press "$1" 0.2
    while [ "$(import -window "$GAME_WINDOW" rgb:- 2>/dev/null | md5sum)" = "$before" ]; do
        [ "$SECONDS" -lt "$end" ] || fail "$1 changed nothing on the board"
        sleep 0.1
    done
}

fresh_data
printf 'NOSE_UP=K\nNOSE_DOWN=W UP NOPE\n' > "$WORK/game/controls.ini"
start_game
wait_console "^FPS: " 120
grep -qx 'controls.ini line 2 (NOSE_DOWN=W UP NOPE): unknown key NOPE, skipped' "$WORK/game/console.log" ||
    fail "no console line for the bad line of controls.ini"
tap T   # hints off: the pictures compare the world, not the text

# K lifts the nose now: the view swings up into the sky. S, no longer bound,
# does not. Each key is held over the same stretch of flight between two
# pauses (the game runs on the real clock), and the sky's share of the
# upper view compared.
sky_gain() {
    restart_run
    pause_game
    wait_still
    shot "$1_before"
    hold "$1"
    press p 0.2
    wait_frames 2
    pause_game
    release "$1"
    wait_still
    shot "$1_after"
    press p 0.2
    GAIN=$(awk -v a="$(colour_share "$1_after" "$TOP" 0.43 0.65 0.87)" \
        -v b="$(colour_share "$1_before" "$TOP" 0.43 0.65 0.87)" 'BEGIN { print a - b }')
}
sky_gain k
up=$GAIN
sky_gain s
s=$GAIN
greater "$up" 0.2 || fail "K did not lift the nose (sky share $up)"
greater "$up" "$(awk -v s="$s" 'BEGIN { print s + 0.15 }')" || fail "S still acts like K ($s against $up)"

# Tab: the board over a still picture, level 1's row selected.
restart_run
shot day
hold Tab
wait_console "^Level board at [0-9.]+ s$"
release Tab
wait_still
shot board_a
wait_frames 0
sleep 1
shot board_b
same_region board_a board_b 800x600+0+0 || fail "the picture moved under the board"
[ "$(white_count board_a "$TITLE")" -gt 400 ] || fail "no board title"

# Down four times to level 5, Night Lanterns; its row is lit.
for _ in 1 2 3 4; do press_and_see Down; done
shot chosen
band=$(brightness chosen "$ROW_5")
greater "$band" "$(brightness board_a "$ROW_5")" || fail "level 5's row was not selected"
tap Return
wait_console "^Flying level 5 from the board$"
wait_frames 4
shot night
day=$(brightness day 800x600+0+0)
night=$(brightness night 800x600+0+0)
greater "$day" "$(awk -v n="$night" 'BEGIN { print n + 0.1 }')" || fail "level 5 is not dark: day $day, night $night"

# Tab and Tab again: the board closes and the clock runs on. The board's
# picture stands still, so its frames are waited for on the console.
press Tab 0.2
wait_lines "^Level board at " 2
press Tab 0.2
wait_lines "^Level board closed$" 1
wait_frames 3
shot running_a
wait_frames 3
shot running_b
same_region running_a running_b "$TIME" && fail "the clock stands still after the board closed"

quit_game
echo "board: ok"
