# The installed game: `cmake --install` into a scratch DESTDIR, the files a
# desktop reads checked, then the launcher run as a player would.
source "$(dirname "$0")/lib.bash" "$@"

DEST=$BUILD_DIR/e2e-install
rm -rf "$DEST" "$DEST-moved"
DESTDIR=$DEST cmake --install "$BUILD_DIR" --prefix /usr > "$WORK/install.log" 2>&1 ||
    fail "cmake --install: $(tail -5 "$WORK/install.log")"
usr=$(cd "$DEST/usr" && pwd -P)
id=org.moorglide.moorglide

desktop-file-validate "$usr/share/applications/$id.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" || fail "the AppStream metadata is not valid"
appstreamcli validate-tree --no-net "$usr" || fail "the AppStream metadata does not match the desktop entry"
for size in 48 128 256; do
    file "$usr/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
        fail "no $size x $size icon"
done
for page in moorglide moorglide-check; do
    zcat "$usr/share/man/man6/$page.6.gz" | groff -man -ww -z > "$WORK/man.log" 2>&1
    [ -s "$WORK/man.log" ] && fail "manual page $page: $(cat "$WORK/man.log")"
done
# The course checker beside the launcher needs neither data nor a display.
DISPLAY= "$usr/games/moorglide-check" "$usr/share/games/moorglide/Maps/map1.png" > "$WORK/check.log" 2>&1 ||
    fail "moorglide-check: $(cat "$WORK/check.log")"
tail -1 "$WORK/check.log" | grep -qE '^par [0-9]+\.[0-9]{2} s$' || fail "moorglide-check gave no par: $(cat "$WORK/check.log")"

# Names, kinds, modes, sizes, times and contents of everything installed.
snapshot() { (cd "$1" && find . -printf '%p %y %m %s %T@\n' | sort && find . -type f -exec md5sum {} + | sort); }
snapshot "$DEST" > "$WORK/installed"

# First run, HOME only: the player's folder is made and the game plays there.
mkdir -p "$WORK/game" "$WORK/home"
export HOME=$WORK/home
unset XDG_DATA_HOME
GAME_BIN=$usr/games/moorglide
start_game
wait_console "^FPS: " 60
sleep 2
press Escape
wait_exit 60
[ "$EXIT_CODE" = 0 ] || fail "first run: exit code $EXIT_CODE"
player=$HOME/.local/share/moorglide
[ -f "$player/highscores.ini" ] || fail "no highscores.ini in $player"
[ -f "$player/config.ini" ] && [ ! -L "$player/config.ini" ] || fail "config.ini was not copied"
[ -d "$player/levels" ] && [ ! -L "$player/levels" ] || fail "no levels/ folder for own courses in $player"
for item in Shaders Meshes Textures Maps Holstein.DDS; do
    [ "$(readlink "$player/$item")" = "$usr/share/games/moorglide/$item" ] || fail "$item is not linked to the install"
done
snapshot "$DEST" | cmp -s - "$WORK/installed" || fail "the first run changed the install tree"

# Second run from another prefix (the install moved), the folder named by
# XDG_DATA_HOME: the links follow the install, the player's edited
# config.ini and ghosts stay as they are.
sed -i 's/^WIDTH=.*/WIDTH=1024/' "$player/config.ini"
cp "$player/config.ini" "$WORK/config.edited"
mkdir "$player/ghosts"
echo "a ghost" > "$player/ghosts/level1.ghost"
echo "a course" > "$player/levels/mine.png"
mv "$DEST" "$DEST-moved"
usr=$(cd "$DEST-moved/usr" && pwd -P)
export XDG_DATA_HOME=$HOME/.local/share HOME=$WORK/elsewhere
GAME_BIN=$usr/games/moorglide
start_game
xwininfo -id "$GAME_WINDOW" | grep -q 'Width: 1024' || fail "the edited config.ini was not read"
wait_console "^FPS: " 60
press Escape
wait_exit 60
[ "$EXIT_CODE" = 0 ] || fail "second run: exit code $EXIT_CODE"
cmp -s "$player/config.ini" "$WORK/config.edited" || fail "the edited config.ini was changed"
[ "$(cat "$player/ghosts/level1.ghost")" = "a ghost" ] || fail "the ghosts were touched"
[ "$(cat "$player/levels/mine.png")" = "a course" ] || fail "the own courses were touched"
[ "$(readlink "$player/Maps")" = "$usr/share/games/moorglide/Maps" ] || fail "the links still point at the old install"
snapshot "$DEST-moved" | cmp -s - "$WORK/installed" || fail "the second run changed the install tree"

# No data folder: one line naming it, and a non-zero exit.
rm -rf "$usr/share/games/moorglide"
"$usr/games/moorglide" > "$WORK/missing.log" 2>&1 && fail "the launcher succeeded without its data"
[ "$(wc -l < "$WORK/missing.log")" = 1 ] && grep -qF "$usr/share/games/moorglide" "$WORK/missing.log" ||
    fail "missing data folder: $(cat "$WORK/missing.log")"
rm -rf "$DEST-moved"
echo "install: ok"
