#!/usr/bin/env bash
# Remakes docs/moorglide-ghost.png: level 1 in flight with the ghost of an
# earlier run ahead and the flight gauge under the level line, taken from the
# real game in a private X server. The earlier run is the figure left alone
# to glide to the finish, so this takes a few minutes. Needs the game built.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/moorglide-shot-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$root/data" "$work/game"
rm -rf "$work/game/highscores.ini" "$work/game/ghosts"
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$1/game"
  wait_line() {
    for _ in $(seq 6000); do grep -qE "$1" console.log && return 0; sleep 0.1; done
    echo "the game never printed: $1"; exit 1
  }
  start() {
    "$2/build/moorglide" > console.log 2>&1 < /dev/null &
    pid=$!
    wait_line "^No ghost|^Ghost of level 1 loaded"
    sleep 2
    window=$(xdotool search --name -- "-----:::::Moorglide:::::-----" | head -1)
  }
  key() { xdotool keydown --window "$window" "$1"; sleep "$2"; xdotool keyup --window "$window" "$1"; }
  # The first run: left alone to the finish; Escape saves its ghost.
  start "$1" "$2"
  wait_line "^Ghost of level 1 kept"
  key Escape 0.3
  wait $pid || true
  # The second run climbs for a moment, so the ghost glides on ahead of it.
  start "$1" "$2"
  key t 0.3
  key Return 0.3
  sleep 1
  key s 1.2
  sleep 1.5
  import -window "$window" "$1/shot.png"
  kill $pid; wait $pid 2>/dev/null || true
' _ "$work" "$root"
mkdir -p "$root/docs"
convert "$work/shot.png" -strip "$root/docs/moorglide-ghost.png"
echo "docs/moorglide-ghost.png updated"
