# Helpers for the race scripts, on top of lib.bash: window screenshots, frame
# waiting and pixel counts. Source after lib.bash.

# Screenshot of the game window only: pixel (0,0) is its top-left corner, so
# text rows are 600 - y - size for the 800 x 600 window.
shot() { import -window "$GAME_WINDOW" "$WORK/$1.png" || fail "screenshot $1 failed"; }

# Waits until the game has swapped `n` new frames (the window content changed
# n times; the race clock on screen changes in every pass). Software GL under
# load can take seconds per frame, so key effects are checked only after this.
wait_frames() {
    local want=${1:-3} limit=${2:-180} seen=0 last= now
    local end=$((SECONDS + limit))
    while [ "$seen" -lt "$want" ]; do
        [ "$SECONDS" -lt "$end" ] || fail "the game drew no new frame for $limit s"
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended unexpectedly"
        now=$(import -window "$GAME_WINDOW" rgb:- 2>/dev/null | md5sum)
        if [ "$now" != "$last" ]; then
            [ -n "$last" ] && seen=$((seen + 1))
            last=$now
        fi
        sleep 0.1
    done
}

# Presses a key and waits until its effect has been drawn.
tap() {
    press "$1" 0.2
    wait_frames "${2:-3}"
}

# ENTER: back to the level's start with the clock at zero. Left alone, the
# figure glides over level 1 to the finish in about 40 s, and the still
# end-of-level screen would hide the effects under test; each check restarts.
restart_run() { tap Return; }

# Number of near-white pixels (the HUD's text colour) in a region WxH+X+Y.
white_count() {
    convert "$WORK/$1.png" -crop "$2" +repage -fx "(r>0.94&&g>0.94&&b>0.94)?1:0" \
        -format "%[fx:round(mean*w*h)]" info:
}

# Number of warm-coloured pixels (the flying figure: brown body, orange
# wings) in a region; sky, fog, snow and grass are not warm.
warm_count() {
    convert "$WORK/$1.png" -crop "$2" +repage -fx "(r>b+0.15&&r>g)?1:0" \
        -format "%[fx:round(mean*w*h)]" info:
}

# Fraction (0-1) of pixels in a region within 0.05 of colour r,g,b (0-1).
colour_share() {
    convert "$WORK/$1.png" -crop "$2" +repage \
        -fx "(abs(r-$3)<0.05&&abs(g-$4)<0.05&&abs(b-$5)<0.05)?1:0" -format "%[fx:mean]" info:
}

# Escape, then the game must end by itself with exit code 0 and no GL error.
quit_game() {
    press Escape
    wait_exit "${1:-120}"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    grep -q "GL ERROR DETECTED" "$WORK/game/console.log" && fail "GL error on the console"
    return 0
}

# Waits until two window captures a second apart are the same: a paused game
# draws the same picture in every frame.
wait_still() {
    local last= now end=$((SECONDS + ${1:-120}))
    while [ "$SECONDS" -lt "$end" ]; do
        now=$(import -window "$GAME_WINDOW" rgb:- 2>/dev/null | md5sum)
        [ -n "$last" ] && [ "$now" = "$last" ] && return 0
        last=$now
        sleep 1
    done
    fail "the picture never stood still"
}

# P on a running game: waits for its "Paused at" line and puts the race time
# it tells in PAUSED_AT. A game slower than two frames a second can miss a P
# that follows another within half a second; P is pressed again then.
pause_game() {
    local before tries
    before=$(grep -c "^Paused at " "$WORK/game/console.log")
    for tries in 1 2 3; do
        press p 0.2
        for _ in $(seq 100); do
            if [ "$(grep -c "^Paused at " "$WORK/game/console.log")" -gt "$before" ]; then
                PAUSED_AT=$(grep "^Paused at " "$WORK/game/console.log" | tail -1 | awk '{ print $3 }')
                return 0
            fi
            kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended unexpectedly"
            sleep 0.1
        done
    done
    fail "P did not pause the game"
}

crop() { convert "$WORK/$1.png" -crop "$2" +repage "$WORK/$1-crop.png"; }
same_region() {
    crop "$1" "$3"
    crop "$2" "$3"
    [ "$(compare -metric AE "$WORK/$1-crop.png" "$WORK/$2-crop.png" null: 2>&1)" = 0 ]
}
