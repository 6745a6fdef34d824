# highscores.ini: written at the end of every run (ten "N=50000" lines on a
# first run), read at the start with the best time shown on the time line,
# and never lost when it cannot be written.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

# The end of the time line: "Time:t / 50000.000" reaches it, "Time:t / 1.500"
# does not.
TAIL=110x28+570+562

# First run: no file; Escape writes the preset times.
fresh_data
start_game
wait_console "^highscore.ini not found$" 60
wait_frames 3
restart_run
shot no_best
no_best_tail=$(white_count no_best "$TAIL")
[ "$no_best_tail" -gt 100 ] || fail "the time line does not show 50000.000 ($no_best_tail)"
quit_game
expected=$(for level in 1 2 3 4 5 6 7 8 9 10; do echo "$level=50000"; done)
[ "$(cat "$WORK/game/highscores.ini")" = "$expected" ] ||
    fail "first run wrote: $(cat "$WORK/game/highscores.ini")"
[ -e "$WORK/game/highscores.ini.tmp" ] && fail "the temporary file was left behind"

# Second run: a stored best time for level 1 is read and shown; entries for
# other levels, also unknown ones, are written back.
printf '1=1.5\n12=99.5\n3 = 7\n' > "$WORK/game/highscores.ini"
start_game
wait_console "^Map 1: 1.500000$" 60
grep -q "^Map 3:" "$WORK/game/console.log" && fail "a line with blanks around = was read"
wait_frames 3
restart_run
shot best
best_tail=$(white_count best "$TAIL")
[ "$best_tail" -lt 20 ] || fail "the time line still reaches as far as with 50000.000 ($best_tail)"
[ "$(difference no_best best)" != 0 ] || fail "screenshots with and without a best time are identical"
quit_game
expected=$(echo "1=1.5"; for level in 2 3 4 5 6 7 8 9 10; do echo "$level=50000"; done; echo "12=99.5")
[ "$(cat "$WORK/game/highscores.ini")" = "$expected" ] ||
    fail "second run wrote: $(cat "$WORK/game/highscores.ini")"

# Third run: the file cannot be replaced (a folder stands in its place). The
# game says so, ends normally, and the folder keeps its content.
rm -f "$WORK/game/highscores.ini"
mkdir "$WORK/game/highscores.ini"
echo keep > "$WORK/game/highscores.ini/inside"
start_game
wait_frames 2
quit_game
grep -q "^highscore.ini could not be written$" "$WORK/game/console.log" || fail "no message about the failed write"
[ "$(cat "$WORK/game/highscores.ini/inside")" = keep ] || fail "the old content was touched"
[ -e "$WORK/game/highscores.ini.tmp" ] && fail "the temporary file was left behind"
echo "race_highscores: ok"
