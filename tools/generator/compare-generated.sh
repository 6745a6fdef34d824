#!/bin/bash
# Regenerates the game data into a scratch folder and compares it, file by
# file, with the committed data/ (shaders excepted: they are hand written).
# Usage: compare-generated.sh <generator> <data dir> <scratch dir>
set -u
generator=$1
data=$2
scratch=$3
icons=$4

rm -rf "$scratch" "$scratch-icons"
mkdir -p "$scratch"
if ! "$generator" "$scratch" > "$scratch.log" 2>&1; then
  echo "generator failed:"; cat "$scratch.log"; exit 1
fi

status=0
made=$(cd "$scratch" && find . -type f | sort)
if [ -z "$made" ]; then
  echo "generator wrote nothing"; exit 1
fi
for f in $made; do
  if [ ! -f "$data/$f" ]; then
    echo "not committed: $f"; status=1
  elif ! cmp -s "$scratch/$f" "$data/$f"; then
    echo "differs: $f"; status=1
  fi
done
# Files under data/ that the generator owns but no longer makes.
for dir in Maps Meshes Textures Sounds; do
  for f in $(cd "$data" && find "$dir" -type f 2>/dev/null | sort); do
    [ -f "$scratch/$f" ] || { echo "stale, not generated: $f"; status=1; }
  done
done
for f in Holstein.DDS config.ini; do
  [ -f "$scratch/$f" ] || { echo "not generated: $f"; status=1; }
done
[ $status = 0 ] && echo "$(echo "$made" | wc -l) generated files match data/"

# The icons, both ways: every one made is committed and every committed one is made.
if ! "$generator" --icons "$scratch-icons" > "$scratch-icons.log" 2>&1; then
  echo "icon generation failed:"; cat "$scratch-icons.log"; exit 1
fi
for f in $({ ls "$scratch-icons"; ls "$icons" 2>/dev/null; } | sort -u); do
  cmp -s "$scratch-icons/$f" "$icons/$f" || { echo "icon differs or is missing: $f"; status=1; }
done
[ -n "$(ls "$scratch-icons")" ] || { echo "no icons generated"; status=1; }
[ $status = 0 ] && echo "the icons match $icons"
exit $status
