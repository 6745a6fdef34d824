# The setting keys: F3 draws everything as lines, F4 prints the texture
# settings, C steps the camera near, middle, far.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

BAND=800x120+0+400      # below the figure, above the time line: terrain at the start
FIGURE=400x300+200+150  # the middle of the window, where the figure flies

fresh_data
start_game
wait_frames 3

# F3: the scene (and the composed picture) becomes lines over the clear
# colour, so the band is almost all one colour; F3 again brings it back.
# The pictures are measured afterwards: on a loaded machine that takes long
# enough for the figure to reach the finish.
restart_run
shot solid
tap F3
shot wire
tap F3
shot solid_again
read -r r g b <<< "$(convert "$WORK/solid.png" -crop 200x20+600+60 +repage -resize 1x1! -format "%[fx:r] %[fx:g] %[fx:b]" info:)"
solid_share=$(colour_share solid "$BAND" "$r" "$g" "$b")
wire_share=$(colour_share wire "$BAND" "$r" "$g" "$b")
greater "$wire_share" 0.8 || fail "F3: the band is not mostly background ($wire_share)"
greater "$wire_share" "$(awk -v s="$solid_share" 'BEGIN { print s + 0.3 }')" ||
    fail "F3 changed too little ($solid_share -> $wire_share)"
again_share=$(colour_share solid_again "$BAND" "$r" "$g" "$b")
greater "$wire_share" "$(awk -v s="$again_share" 'BEGIN { print s + 0.3 }')" ||
    fail "F3 again did not fill the polygons ($wire_share -> $again_share)"

# F4: the two console lines, nearest neighbour first, then bilinear again.
# Frames must pass between two presses, or the game never sees the release.
tap F4
wait_console "^Texture-Sampling-Quality: Nearest-Neighbor$" 30
grep -A1 "^Texture-Sampling-Quality: Nearest-Neighbor$" "$WORK/game/console.log" |
    grep -q "^Mip-Mapping-Quality: Linear$" || fail "F4: no mip-mapping line after the sampling line"
tap F4
wait_console "^Texture-Sampling-Quality: Bilinear$" 30
[ "$(grep -c "^Mip-Mapping-Quality: Linear$" "$WORK/game/console.log")" = 2 ] ||
    fail "F4 twice did not print the mip-mapping line twice"

# C: the camera comes closer, then a little back, then far again; the
# figure fills more of the middle the closer the camera is. Each picture is
# taken as soon as the status line at the top shows the step's message (it
# differs from the one before): the message lasts two seconds only, a
# handful of frames on a loaded machine.
STATUS=300x20+250+10
camera_step() {
    # The last step's release must reach the game before the next press.
    wait_frames 1
    press c 0.2
    local end=$((SECONDS + 60))
    while [ "$SECONDS" -lt "$end" ]; do
        shot "$1"
        [ "$(white_count "$1" "$STATUS")" -gt 100 ] && ! same_region "$2" "$1" "$STATUS" && return 0
    done
    fail "C: no new status line for the picture $1"
}
restart_run
shot far
camera_step near far
camera_step middle near
camera_step far_again middle
far=$(warm_count far "$FIGURE")
near=$(warm_count near "$FIGURE")
middle=$(warm_count middle "$FIGURE")
far_again=$(warm_count far_again "$FIGURE")
echo "figure pixels: far $far, near $near, middle $middle, far again $far_again"
[ "$far" -gt 100 ] || fail "no figure in the middle at the start ($far)"
[ "$near" -gt $((far * 3)) ] || fail "C: Camera near did not bring the camera closer ($far -> $near)"
[ "$middle" -lt "$near" ] && [ "$middle" -gt "$far" ] || fail "C: Camera middle is not between ($middle)"
[ "$far_again" -lt $((middle * 3 / 4)) ] || fail "C: Camera far did not move back ($middle -> $far_again)"
[ "$(difference near middle)" != 0 ] || fail "near and middle screenshots are identical"

quit_game
echo "race_settings: ok"
