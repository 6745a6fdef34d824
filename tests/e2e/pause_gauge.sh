# P pauses (the time line stands still, "Paused" in the middle) and resumes;
# losing the focus to another window pauses too; V hides the flight gauge.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

TIME=700x30+0+560      # the time line at y 10, size 30
PAUSED=240x40+280+240  # "Paused", size 40, in the middle above the hints
GAUGE=560x20+0+60      # the flight gauge at y 520, size 20

# Pictures $1_a and $1_b two seconds apart: the time line stands still
# ("moved $2" if not) and "Paused" shows ("no Paused $3" if not).
expect_paused() {
    wait_still
    shot "$1_a"
    sleep 2
    wait_frames 0
    shot "$1_b"
    same_region "$1_a" "$1_b" "$TIME" || fail "the time line moved $2"
    [ "$(white_count "$1_a" "$PAUSED")" -gt 200 ] || fail "no \"Paused\" $3"
}

fresh_data
start_game
wait_frames 3
restart_run

# The gauge is on from the start; V hides it, V again shows it.
shot gauge_on
gauge_on=$(white_count gauge_on "$GAUGE")
[ "$gauge_on" -gt 150 ] || fail "no flight gauge at the start ($gauge_on)"
tap v
shot gauge_off
gauge_off=$(white_count gauge_off "$GAUGE")
[ "$gauge_off" -lt 20 ] || fail "V did not hide the gauge ($gauge_on -> $gauge_off)"
tap v

# P: the time line reads the same two seconds later.
press p
expect_paused paused "while paused" "in the middle"
press p
wait_frames 3
shot resumed
same_region paused_b resumed "$TIME" && fail "the time line stands still after P again"
[ "$(white_count resumed "$PAUSED")" -lt 100 ] || fail "\"Paused\" still shown after P again"

# Another window takes the focus: the game pauses by itself.
xmessage -name moorglide-focus -geometry 200x60+900+900 "focus" &
MESSAGE_PID=$!
trap 'kill "$MESSAGE_PID" 2>/dev/null; stop_game; rm -rf "$WORK"' EXIT
message_window=
for _ in $(seq 100); do
    message_window=$(xdotool search --classname moorglide-focus 2>/dev/null | head -1)
    [ -n "$message_window" ] && break
    sleep 0.1
done
[ -n "$message_window" ] || fail "the second window did not open"
xdotool windowfocus --sync "$message_window" || fail "could not move the focus"
expect_paused unfocused "without the focus" "after losing the focus"
kill "$MESSAGE_PID" 2>/dev/null

# Back in the game, P resumes.
xdotool windowfocus --sync "$GAME_WINDOW" 2>/dev/null
press p
wait_frames 3
shot refocused
same_region unfocused_b refocused "$TIME" && fail "P did not resume after the focus came back"

quit_game
echo "pause_gauge: ok"
