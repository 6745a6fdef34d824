# Shared helpers for the e2e scripts: start the real game in a temporary copy
# of data/, find its window, press keys, take screenshots.
# Usage in a script: source "$(dirname "$0")/lib.bash" "$@"

GAME_BIN=$1
DATA_DIR=$2
BUILD_DIR=$3
export LIBGL_ALWAYS_SOFTWARE=1
# The game's sound is mixed but goes nowhere; a test that listens picks its own output.
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
WORK=$(mktemp -d /tmp/moorglide-e2e-XXXXXX)
trap 'stop_game; rm -rf "$WORK"' EXIT
GAME_PID=
GAME_WINDOW=

fail() {
    echo "FAIL: $*"
    [ -f "$WORK/game/console.log" ] && { echo "--- console ---"; tail -40 "$WORK/game/console.log"; }
    exit 1
}

# Fresh copy of the data folder in $WORK/game.
fresh_data() {
    rm -rf "$WORK/game"
    cp -r "$DATA_DIR" "$WORK/game"
    rm -f "$WORK/game/highscores.ini"
}

# Starts the game in $WORK/game and waits for its window.
start_game() {
    (cd "$WORK/game" && exec "$GAME_BIN" > console.log 2>&1 < /dev/null) &
    GAME_PID=$!
    GAME_WINDOW=
    for _ in $(seq 300); do
        GAME_WINDOW=$(xdotool search --name -- "-----:::::Moorglide:::::-----" 2>/dev/null | head -1)
        [ -n "$GAME_WINDOW" ] && break
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window opened"
        sleep 0.1
    done
    [ -n "$GAME_WINDOW" ] || fail "no game window after 30 s"
}

# Waits until the console has `pattern` (grep -E), at most $2 seconds.
wait_console() {
    local pattern=$1 limit=${2:-30}
    for _ in $(seq $((limit * 10))); do
        grep -qE -- "$pattern" "$WORK/game/console.log" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "console never showed: $pattern"
}

# Waits until the console has `count` lines matching `pattern`, for up to
# `limit` seconds (60 unless given); fails if the game ends first.
wait_lines() {
    local pattern=$1 count=$2 limit=${3:-60}
    for _ in $(seq $((limit * 10))); do
        [ "$(grep -cE -- "$pattern" "$WORK/game/console.log")" -ge "$count" ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended unexpectedly"
        sleep 0.1
    done
    fail "the console never showed $count lines of: $pattern"
}

press() {
    xdotool keydown --window "$GAME_WINDOW" "$1" 2>/dev/null || xdotool keydown "$1"
    sleep "${2:-0.3}"
    xdotool keyup --window "$GAME_WINDOW" "$1" 2>/dev/null || xdotool keyup "$1"
    sleep 0.3
}

hold() { xdotool keydown "$1"; }
release() { xdotool keyup "$1"; }

screenshot() { import -window root "$WORK/$1.png"; }

# Mean brightness (0-1) of a region WxH+X+Y of a screenshot.
brightness() { convert "$WORK/$1.png" -crop "$2" +repage -colorspace Gray -format "%[fx:mean]" info:; }

# Normalised difference (0-1) between two screenshots.
difference() { compare -metric RMSE "$WORK/$1.png" "$WORK/$2.png" null: 2>&1 | sed -E 's/.*\((.*)\).*/\1/'; }

# Waits for the game to end and puts its exit code in EXIT_CODE. Not to be
# called in a subshell: only this shell can collect the game's status.
wait_exit() {
    local limit=${1:-30}
    for _ in $(seq $((limit * 10))); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end"
    wait "$GAME_PID"
    EXIT_CODE=$?
    GAME_PID=
}

stop_game() {
    if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
        kill "$GAME_PID" 2>/dev/null
        wait "$GAME_PID" 2>/dev/null
    fi
    GAME_PID=
}

# Float comparison: awk-based "a > b".
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
