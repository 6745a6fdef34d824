# The ghost of the best run: level 1 flown to the finish (left alone, the
# figure glides there) keeps its run, Escape writes ghosts/level1.ghost, and
# at the next start the translucent figure flies in the picture; G hides it.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

SCENE=800x560+0+40  # all but the status line at the top

fresh_data
rm -rf "$WORK/game/ghosts"
start_game
wait_console "^No ghost for level 1: ghosts/level1.ghost not found$" 60
wait_console "^Ghost of level 1 kept: [0-9]+ samples$" 500
quit_game
grep -q "^Ghost saved: ghosts/level1.ghost$" "$WORK/game/console.log" || fail "no line about the saved ghost"
[ -s "$WORK/game/ghosts/level1.ghost" ] || fail "ghosts/level1.ghost was not written"
[ -e "$WORK/game/ghosts/level1.ghost.tmp" ] && fail "the temporary file was left behind"
[ "$(head -c 7 "$WORK/game/ghosts/level1.ghost")" = MGGHOST ] || fail "the ghost file has no header"

# Second start: the run is replayed. From the start, the figure climbs off
# the ghost's line for 0.5 to 1.3 s of race time,
# told by the "Paused at" line, and the game stays paused there: the ghost,
# which never climbed, glides ahead and below it, in view (later it is too
# far ahead to see). The hints are hidden, as they cover that part of the
# picture. A climb that ran on too long is flown again from the start.
start_game
wait_console "^Ghost of level 1 loaded: [0-9]+ samples$" 60
wait_frames 3
tap T
pause_game
climbed=
for _ in 1 2 3 4 5; do
    press Return  # read by the frame that resumes at the latest
    hold s
    PAUSED_AT=0
    while ! greater "$PAUSED_AT" 0.5; do
        press p 0.2
        pause_game
    done
    release s
    echo "climbed until $PAUSED_AT s"
    greater "$PAUSED_AT" 1.3 || { climbed=yes; break; }
done
[ -n "$climbed" ] || fail "every climb ran on past 1.3 s of race time"
wait_still
shot ghost_on
press g
wait_still
shot ghost_off
crop ghost_on "$SCENE"
crop ghost_off "$SCENE"
changed=$(compare -metric AE "$WORK/ghost_on-crop.png" "$WORK/ghost_off-crop.png" null: 2>&1)
echo "pixels changed by G: $changed"
[ "$changed" -gt 50 ] || fail "G changed too little of the picture ($changed pixels)"
press g
wait_still
shot ghost_again
crop ghost_again "$SCENE"
[ "$(compare -metric AE "$WORK/ghost_on-crop.png" "$WORK/ghost_again-crop.png" null: 2>&1)" = 0 ] ||
    fail "G again did not bring the same picture back"
quit_game

# A broken file is ignored with one line and the game plays on.
head -c 30 "$WORK/game/ghosts/level1.ghost" > "$WORK/game/ghosts/cut" && mv "$WORK/game/ghosts/cut" "$WORK/game/ghosts/level1.ghost"
start_game
wait_console "^No ghost for level 1: ghosts/level1.ghost truncated$" 60
wait_frames 2
quit_game
echo "ghost: ok"
