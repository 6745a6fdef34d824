#!/bin/sh
# Starts an installed Moorglide. The game reads everything from its working
# directory, so the player's own folder becomes that directory: the read-only
# data linked in from the installed tree, config.ini copied once so that it can
# be edited, levels/ made for the player's own courses, and whatever the game
# saves (highscores.ini, courses.ini, ghosts) kept there.
# The installed tree is only read.
set -u

# The data is found from the launcher's own place, so any prefix works.
self=$(readlink -f -- "$0" 2>/dev/null) || self=$0
prefix=$(cd -- "$(dirname -- "$self")/.." && pwd -P) || exit 1
data=$prefix/share/games/moorglide
game=$prefix/lib/games/moorglide/moorglide

if [ ! -d "$data" ]; then
    echo "moorglide: game data not found: no folder $data" >&2
    exit 1
fi
if [ ! -x "$game" ]; then
    echo "moorglide: game program not found: no file $game" >&2
    exit 1
fi

case ${XDG_DATA_HOME:-} in
/*) home=$XDG_DATA_HOME/moorglide ;;
*) home=$HOME/.local/share/moorglide ;; # unset, empty or relative: the default
esac
mkdir -p -- "$home" || exit 1

# Links made for an older install that no longer has the item.
for link in "$home"/*; do
    if [ -L "$link" ] && [ ! -e "$link" ]; then
        case $(readlink -- "$link") in
        */share/games/moorglide/*) rm -f -- "$link" ;;
        esac
    fi
done

# One link per installed item, pointed at this install every run, so a newer
# version or another prefix is picked up. The player's files are never
# replaced: config.ini is copied below, the rest is written by the game.
for source in "$data"/*; do
    name=${source##*/}
    case $name in
    config.ini | highscores.ini | courses.ini | ghosts | levels) continue ;;
    esac
    [ -e "$source" ] || continue
    target=$home/$name
    if [ -L "$target" ]; then
        [ "$(readlink -- "$target")" = "$source" ] && continue
        rm -f -- "$target"
    elif [ -e "$target" ]; then
        continue # the player's own file of that name
    fi
    ln -s -- "$source" "$target" || exit 1
done

# A fresh file, not a copy of the installed one's owner and mode: editable.
if [ -f "$data/config.ini" ] && [ ! -e "$home/config.ini" ] && [ ! -L "$home/config.ini" ]; then
    cat -- "$data/config.ini" > "$home/config.ini" || exit 1
fi

# Where the player's own courses go; the game lists them on its board.
mkdir -p -- "$home/levels" || exit 1

cd -- "$home" || exit 1
exec "$game" "$@"
