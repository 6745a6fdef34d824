# Sound through OpenAL Soft's wave-file output: the mix the real game writes
# grows louder with speed and shows the crash. Without sound (volume 0, the
# null output, no device, a device that fails, a broken sound file) the game
# plays on normally after one console line.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

ENVELOPE="$BUILD_DIR/tests/wav_envelope"
# The outputs come from OpenAL Soft's config file here.
unset ALSOFT_DRIVERS

# OpenAL Soft's own config: its wave output, mono 16-bit, into file $1.
export ALSOFT_CONF="$WORK/alsoft.conf"
wave_output() {
    printf '[general]\ndrivers = wave\nchannels = mono\nsample-type = int16\nfrequency = 22050\n[wave]\nfile = %s\n' \
        "$1" > "$ALSOFT_CONF"
}

# Starts the game and checks that start-up said one line about sound, the
# one matching $1, and nothing from the audio libraries.
start_with_sound_line() {
    start_game
    wait_console "^FPS: " 120
    local lines
    lines=$(grep -c '^Sound ' "$WORK/game/console.log")
    [ "$lines" = 1 ] || fail "$lines sound lines at start-up, not 1: $(grep "^Sound " "$WORK/game/console.log")"
    grep -qE -- "$1" "$WORK/game/console.log" || fail "no line like: $1"
    grep -qE '^(AL lib|ALSA lib)' "$WORK/game/console.log" && fail "the audio libraries wrote to the console"
    return 0
}

# 1. A flight into the ground, heard through the wave output.
fresh_data
wave_output "$WORK/mix.wav"
start_with_sound_line "^Sound on: .* at volume 80$"
sleep 1.5          # the start: level flight at speed 25
hold w; sleep 2; release w
sleep 8            # the dive gathers speed and ends on the ground
quit_game
"$ENVELOPE" "$WORK/mix.wav" > "$WORK/envelope.txt" || fail "the mix is not a readable WAV file"
# Lines "time rms peak" every 50 ms. The first second of flight starts where
# the mix stops being silent (loading is silent); the crash is the loudest
# peak after it, and the fast flight the half second before the crash.
result=$(awk '
    { t[NR] = $1; r[NR] = $2; p[NR] = $3 }
    END {
        for (i = 1; i <= NR && r[i] < 0.003; i++) {}
        onset = i
        for (i = onset + 2; i < onset + 20; i++) { base += r[i]; n++ }
        base /= n
        for (i = onset + 20; i <= NR; i++) if (p[i] > p[crash]) crash = i
        for (i = crash - 11; i < crash - 1; i++) fast += r[i] / 10
        for (i = crash + 14; i < crash + 24; i++) after += r[i] / 10
        # The thud may start late in its 50 ms window.
        hit = r[crash] > r[crash + 1] ? r[crash] : r[crash + 1]
        printf "%.4f %.4f %.4f %.4f %.2f\n", base, fast, hit, after, t[crash] - t[onset]
    }' "$WORK/envelope.txt")
read -r base fast crash after when <<< "$result"
echo "first second $base, fast $fast, crash $crash at ${when} s, after it $after"
greater "$fast" "$(awk -v b="$base" 'BEGIN { print 1.3 * b }')" ||
    fail "flying fast ($fast) is not louder than the first second ($base)"
greater "$crash" "$(awk -v f="$fast" 'BEGIN { print 2.5 * f }')" || fail "no crash transient: $crash against $fast"
greater "$(awk -v c="$crash" 'BEGIN { print c / 4 }')" "$after" || fail "the crash did not die away: $after after $crash"

# 2. SOUND_VOLUME=0 opens no device at all; M still answers.
fresh_data
printf 'SOUND_VOLUME=0\n' >> "$WORK/game/config.ini"
wave_output "$WORK/silent.wav"
start_with_sound_line "^Sound off: SOUND_VOLUME is 0$"
[ -e "$WORK/silent.wav" ] && fail "a device was opened at volume 0"
tap m
wait_console "^Sound muted$"
quit_game

# 3. The null output, chosen over the config file's: sound on, nothing written.
fresh_data
wave_output "$WORK/not-written.wav"
ALSOFT_DRIVERS=null start_with_sound_line "^Sound on: "
wait_frames 3
quit_game
[ -e "$WORK/not-written.wav" ] && fail "ALSOFT_DRIVERS=null did not choose the null output"

# 4. No device: the wave output without a file cannot open.
fresh_data
wave_output ""
start_with_sound_line "^Sound off: no audio device could be opened$"
wait_frames 3
quit_game

# 5. A device that fails later: the wave output cannot write its mix.
fresh_data
wave_output /dev/full
start_game
wait_console "^Sound off: the audio device stopped working$" 120
wait_console "^FPS: " 120
grep '^Sound ' "$WORK/game/console.log" | head -1 | grep -q '^Sound on: ' ||
    fail "the device did not open before it failed"
grep -qE '^(AL lib|ALSA lib)' "$WORK/game/console.log" && fail "the audio libraries wrote to the console"
wait_frames 3
quit_game

# 6. A sound file cut short.
fresh_data
head -c 1000 "$DATA_DIR/Sounds/thud.wav" > "$WORK/game/Sounds/thud.wav"
wave_output "$WORK/unused.wav"
start_with_sound_line "^Sound off: Sounds/thud.wav: truncated"
[ -e "$WORK/unused.wav" ] && fail "a device was opened despite the broken file"
quit_game
echo "sound: ok"
