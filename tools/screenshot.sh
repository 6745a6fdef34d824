#!/usr/bin/env bash
# Remakes docs/moorglide.png: level 1 in flight, taken from the real game in a
# private X server. Needs the game built (make build).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/moorglide-shot-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$root/data" "$work/game"
rm -f "$work/game/highscores.ini"
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$1/game"
  "$2/build/moorglide" > console.log 2>&1 < /dev/null &
  pid=$!
  # A few seconds of flight, whatever the frame rate.
  for _ in $(seq 600); do
    [ "$(grep -c "^FPS: " console.log)" -ge 6 ] && break
    sleep 0.1
  done
  window=$(xdotool search --name -- "-----:::::Moorglide:::::-----" | head -1)
  import -window "$window" "$1/shot.png"
  kill $pid; wait $pid 2>/dev/null || true
' _ "$work" "$root"
mkdir -p "$root/docs"
convert "$work/shot.png" -strip "$root/docs/moorglide.png"
echo "docs/moorglide.png updated"
