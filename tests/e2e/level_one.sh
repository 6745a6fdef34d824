# The game opens on level 1: sky above, a lit and textured terrain below,
# and no OpenGL error on the console.
source "$(dirname "$0")/lib.bash" "$@"
source "$(dirname "$0")/race_lib.bash"

fresh_data
start_game
wait_console "^FPS: " 60
wait_frames 2
screenshot level1
grep -q "GL ERROR DETECTED" "$WORK/game/console.log" && fail "GL error on the console"

# The window sits at the top-left of the screen; it is 800 x 600.
# Sky: the top rows are the day sky colour (0.43, 0.65, 0.87), give or take.
sky=$(convert "$WORK/level1.png" -crop 800x40+0+0 +repage -resize 1x1! -format "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]" info:)
read -r r g b <<< "$sky"
[ "$b" -gt "$r" ] && [ "$b" -gt 150 ] || fail "no sky at the top: mean colour $sky"

# Terrain: the lower half is not the sky and not uniform.
std=$(convert "$WORK/level1.png" -crop 800x250+0+330 +repage -colorspace Gray -format "%[fx:standard_deviation]" info:)
greater "$std" 0.03 || fail "the terrain is uniform (deviation $std)"
ground=$(convert "$WORK/level1.png" -crop 800x250+0+330 +repage -resize 1x1! -format "%[fx:int(255*b)]" info:)
[ "$ground" -lt "$b" ] || fail "the lower half looks like sky"

press Escape
wait_exit 60
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
echo "level_one: ok"
