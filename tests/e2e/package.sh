# `make package`: the .deb CPack makes of the install, its Depends found by
# dpkg-shlibdeps.
source "$(dirname "$0")/lib.bash" "$@"

cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$WORK/package" > "$WORK/cpack.log" 2>&1 ||
    fail "cpack: $(tail -5 "$WORK/cpack.log")"
deb=$(ls "$WORK"/package/moorglide_*_*.deb) || fail "no moorglide_*.deb: $(cat "$WORK/cpack.log")"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libglfw3 libglew2.2 libassimp5 liblodepng0 libstdc++6 libc6; do
    case ", $depends," in
    *", $library "* | *", $library,"*) ;;
    *) fail "Depends lacks $library: $depends" ;;
    esac
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "not in section games"
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 3 ] || fail "no long description: $(dpkg-deb -f "$deb" Description)"

contents=$(dpkg-deb -c "$deb")
for path in games/moorglide games/moorglide-check lib/games/moorglide/moorglide share/games/moorglide/Maps/map1.png \
    share/applications/org.moorglide.moorglide.desktop share/metainfo/org.moorglide.moorglide.metainfo.xml \
    share/icons/hicolor/48x48/apps/org.moorglide.moorglide.png share/man/man6/moorglide.6.gz \
    share/man/man6/moorglide-check.6.gz \
    share/doc/moorglide/copyright share/doc/moorglide/changelog.gz; do
    echo "$contents" | grep -qE "^[-rwx]{10} root/root .* \./usr/$path$" || fail "/usr/$path is not in the package"
done
echo "$contents" | grep -qE '^-rwxr-xr-x .* \./usr/games/moorglide$' || fail "the launcher is not executable"

# Debian's own package checker finds no error (as root it warns about that
# on its standard error, which is no finding).
lintian --fail-on error "$deb" > "$WORK/lintian.log" 2> "$WORK/lintian.err" ||
    fail "lintian: $(cat "$WORK/lintian.log" "$WORK/lintian.err")"
grep -q "^E: " "$WORK/lintian.log" && fail "lintian: $(cat "$WORK/lintian.log")"
echo "package: ok"
