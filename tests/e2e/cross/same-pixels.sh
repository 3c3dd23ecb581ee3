#!/usr/bin/env bash
# The same pixels from both builds: each message window of an install ("Oui", then "Non") and of the
# update question that follows (refused with Escape), pictured by the native INSTALL (headless snapshots
# of the client area) and under Wine (`import` of the X window, which without a window manager is the
# client area alone), compared by vendora-pixel-diff: every pixel outside text must be identical; the
# share of differing pixels, text included, is reported for each window.
#
#   same-pixels.sh INSTALL.EXE NATIVE_INSTALL PIXEL_DIFF WORK
#
# NATIVE_INSTALL carries the payload INSTALL.EXE carries. The prefix gets the system colours the native
# build's machine has (Windows XP's). The pictures of both sides and a picture of the
# differences (text in yellow, the rest in red) go to WORK/cross/pixels/, the figures to
# WORK/cross/pixels/shares.txt.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    if [ $# -ne 4 ]; then
        echo "usage: $0 INSTALL.EXE NATIVE_INSTALL PIXEL_DIFF WORK" >&2
        exit 2
    fi
    for file in "$1" "$2" "$3"; do
        [ -f "$file" ] || { echo "$0: $file is missing (the native side comes from the host build)" >&2; exit 2; }
    done
    for tool in Xvfb xdotool import wineserver; do
        command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/setup installs it)" >&2; exit 2; }
    done
    exec "$source/scripts/with-xvfb" "$0" --inside "$(realpath "$1")" "$(realpath "$2")" "$(realpath "$3")" \
        "$(realpath -m "$4")"
fi

exe=$2
native_program=$3
pixel_diff=$4
work=$5
out=$work/cross/pixels
snapshots=$work/wine-snapshots
mkdir -p "$out" "$snapshots"
rm -f "$out"/*.png "$out/shares.txt"

# shellcheck source=../wine/lib.sh
. "$source/tests/e2e/wine/lib.sh"
# shellcheck source=cross-lib.sh
. "$here/cross-lib.sh"
prepare_run
xp_colours

native_install "$native_program"
wine_install "$exe"

# The update question on the machines just installed, refused at once.
mkdir -p "$run/native-update"
printf 'key Escape\n' >"$run/native-update.ui"
(cd "$run/cwd" && env -u DISPLAY VENDORA_ROOT="$native_root" VENDORA_UI_SCRIPT="$run/native-update.ui" \
    VENDORA_UI_SNAPSHOTS="$run/native-update" VENDORA_UI_TRANSCRIPT="$run/native-update.txt" \
    "$native_program" >/dev/null 2>&1) || die "the native update question run failed"
update_shot=$(find "$run/native-update" -name '*-modal-*.png' | head -n 1)
[ -n "$update_shot" ] || die "the native run pictured no update question"
cp "$update_shot" "$run/pictures/native/3-update.png"

cd "$run/cwd"
"$source/scripts/wine-run" "$exe" >/dev/null 2>&1 &
installer=$!
id=$(wait_window '^Mise .* jour de Vendora') || die "the update question did not appear under Wine"
picture_window "$id" "$run/pictures/wine/3-update.png" || die "no picture of the update question"
answer "$id" Escape
wait "$installer" || die "INSTALL.EXE failed after Escape at the update question"
installer=

faults=0
for window in 1-opening 2-final 3-update; do
    cp "$run/pictures/native/$window.png" "$out/$window-native.png"
    cp "$run/pictures/wine/$window.png" "$out/$window-wine.png"
    status=0
    result=$("$pixel_diff" "$out/$window-native.png" "$out/$window-wine.png" --picture "$out/$window-diff.png") ||
        status=$?
    echo "$window: $result" | tee -a "$out/shares.txt"
    case $status in
    0) ;;
    1) faults=$((faults + 1)) ;;
    *) die "$window: the pictures could not be compared" ;;
    esac
done
[ "$faults" -eq 0 ] || fail "$faults window(s) differ outside text; pictures in $out"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; pictures in $out" >&2
    exit 1
fi
echo "same pixels outside text in every window; pictures in $out"
