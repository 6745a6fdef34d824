#!/usr/bin/env bash
# `make run` on a machine without a display: play five seconds inside a
# private X server, press Escape and keep a screenshot as proof.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/out"
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$1/data" || exit 1
  ../build/moorglide > "$1/out/run.log" 2>&1 &
  pid=$!
  sleep 5
  import -window root "$1/out/run.png"
  xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill $pid 2>/dev/null
  wait $pid
' _ "$root"
echo "No display: played 5 s in a private X server; screenshot in out/run.png, console in out/run.log."
