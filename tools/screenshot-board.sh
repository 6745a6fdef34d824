#!/usr/bin/env bash
# Remakes docs/moorglide-board.png: the level board over level 1, with a few
# best times against par, taken from the real game in a private X server.
# Needs the game built (make build).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/moorglide-shot-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$root/data" "$work/game"
rm -rf "$work/game/ghosts"
printf '1=20.954\n2=23.41\n4=16.23\n6=19.882\n' > "$work/game/highscores.ini"
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$1/game"
  "$2/build/moorglide" > console.log 2>&1 < /dev/null &
  pid=$!
  # A few seconds of flight, whatever the frame rate.
  for _ in $(seq 600); do
    [ "$(grep -c "^FPS: " console.log)" -ge 4 ] && break
    sleep 0.1
  done
  window=$(xdotool search --name -- "-----:::::Moorglide:::::-----" | head -1)
  xdotool keydown Tab; sleep 0.2; xdotool keyup Tab
  for _ in $(seq 600); do
    grep -q "^Level board at " console.log && break
    sleep 0.1
  done
  for _ in 1 2 3; do
    xdotool keydown Down; sleep 0.2; xdotool keyup Down; sleep 0.5
  done
  # The board answers within a frame once its picture is kept.
  sleep 2
  import -window "$window" "$1/shot.png"
  kill $pid; wait $pid 2>/dev/null || true
' _ "$work" "$root"
mkdir -p "$root/docs"
convert "$work/shot.png" -strip "$root/docs/moorglide-board.png"
echo "docs/moorglide-board.png updated"
