# Flying keys on the real game: W changes the view, N brings the night,
# F the fog, L the headlight, F10 the render scale and the terrain's detail.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

fresh_data
start_game
wait_console "^FPS: " 120
tap T   # hints off: the screenshots compare the world, not the text

# Holding W dives: the view tilts toward the ground.
restart_run
shot level
hold w
wait_frames 4
shot diving
release w
d=$(difference level diving)
greater "$d" 0.02 || fail "holding W left the view unchanged (difference $d)"

# N: night. The console says so and the picture darkens.
restart_run
shot day
tap n
wait_console "^Weather set to night$"
shot night
day=$(brightness day 800x600+0+0)
night=$(brightness night 800x600+0+0)
greater "$day" "$(awk -v n="$night" 'BEGIN { print n + 0.1 }')" || fail "night is not darker: day $day, night $night"

# F and L announce themselves on the console. From here on each key is
# waited for by its line, not by frames: on a loaded machine the figure may
# reach the finish, whose screen stands still.
press f 0.2
wait_console "^Fog toggled$"
press l 0.2
wait_console "^Spotlight toggled$"

# F10: the full window, then with the terrain's full grid, and back to the
# scale that follows the frame time. F7 first: it does nothing, so F10's are
# the only such lines.
press F7 0.2
press F10 0.2
wait_console "^Render scale: full$"
press F10 0.2
wait_console "^Terrain detail: full$"
press F10 0.2
wait_console "^Render scale: auto \(0\.[0-9][0-9]\)$|^Render scale: auto \(1\.00\)$"
[ "$(grep -cE "^(Terrain detail|Render scale): " "$WORK/game/console.log")" = 3 ] || fail "F7 changed the render scale"

# N again: back to day.
press n 0.2
wait_console "^Weather set to day$"

quit_game
echo "flight_keys: ok"
