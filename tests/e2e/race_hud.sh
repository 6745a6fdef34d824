# The HUD: T hides and shows the five hints; F2 shows the frame-rate line and
# moves the time line up above it.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

HINTS=690x200+0+295     # hint lines: y 110 to 300, x from 10
TIME_UP=700x26+0+532    # the time line at y 40 (size 30) when the FPS line is on
TIME_LOW=700x8+0+561    # top rows of the time line at y 10; the FPS line (size 20) starts below them
FPS=560x18+0+572        # the FPS line at y 10, size 20

fresh_data
start_game
wait_frames 3
shot start
on=$(white_count start "$HINTS")
restart_run
[ "$on" -gt 1500 ] || fail "no hints at start ($on white pixels)"

tap t
shot hidden
off=$(white_count hidden "$HINTS")
[ "$off" -lt $((on / 5)) ] || fail "T did not hide the hints ($on -> $off white pixels)"
[ "$(difference start hidden)" != 0 ] || fail "screenshots with and without hints are identical"

tap t
shot shown
again=$(white_count shown "$HINTS")
[ "$again" -gt $((off + 1000)) ] || fail "T did not show the hints again ($off -> $again)"

# The first frame-rate report comes about a second after the start.
wait_console "^FPS: " 60
restart_run
# F2: before, the time line sits at the bottom and nothing is above it.
shot before_fps
up_before=$(white_count before_fps "$TIME_UP")
low_before=$(white_count before_fps "$TIME_LOW")
[ "$low_before" -gt 100 ] || fail "no time line at the bottom ($low_before)"
[ "$up_before" -lt 50 ] || fail "text above the time line before F2 ($up_before)"
tap F2
shot fps
up_after=$(white_count fps "$TIME_UP")
fps_line=$(white_count fps "$FPS")
low_after=$(white_count fps "$TIME_LOW")
[ "$up_after" -gt 300 ] || fail "F2 did not move the time line up ($up_before -> $up_after)"
[ "$fps_line" -gt 200 ] || fail "F2 did not show the FPS line ($fps_line)"
[ "$low_after" -lt $((low_before / 3)) ] || fail "the bottom still looks like the big time line ($low_after)"

tap F2
shot nofps
up_off=$(white_count nofps "$TIME_UP")
[ "$up_off" -lt 50 ] || fail "F2 again left the time line up ($up_off)"

quit_game
echo "race_hud: ok"
