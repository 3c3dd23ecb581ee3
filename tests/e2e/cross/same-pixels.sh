#!/usr/bin/env bash
# The same pixels from both builds: each message window of an install ("Oui", then "Non"), the update
# question that follows (refused with Escape), and the waiting window and the update-complete question
# of an update while the application runs, pictured by the native INSTALL (headless snapshots
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
settled_picture "$id" "$run/pictures/wine/3-update.png" || die "no picture of the update question"
answer "$id" Escape
wait "$installer" || die "INSTALL.EXE failed after Escape at the update question"
installer=

# An update while the application runs: the waiting window and the update-complete question. Natively a
# process of the test holds the executable until the waiting window has been pictured; under Wine the
# installed stand-in runs with --stay and holds it until the test ends it, once pictured.
native_exe=$(find "$native_root/drive_c/Vendora" -maxdepth 1 -iname vendora.exe | head -n 1)
mkdir -p "$run/native-running"
(
    exec 3<>"$native_exe"
    until ls "$run/native-running/"*-attente-* >/dev/null 2>&1; do sleep 0.05; done
) &
holder=$!
printf 'char o\nwait Installateur\nsnapshot attente\nwait Mise à jour Vendora\nchar n\n' >"$run/native-running.ui"
status=0
(cd "$run/cwd" && env -u DISPLAY VENDORA_ROOT="$native_root" VENDORA_UI_SCRIPT="$run/native-running.ui" \
    VENDORA_UI_SNAPSHOTS="$run/native-running" VENDORA_UI_TRANSCRIPT="$run/native-running.txt" \
    "$native_program" >/dev/null 2>&1) || status=$?
kill "$holder" 2>/dev/null || true
wait "$holder" 2>/dev/null || true
[ "$status" -eq 0 ] || die "the native update while the application runs ended with exit code $status"
waiting_shot=$(find "$run/native-running" -name '*-attente-Installateur*.png' | head -n 1)
complete_shot=$(find "$run/native-running" -name '*-modal-*.png' | LC_ALL=C sort | tail -n 1)
if [ -z "$waiting_shot" ] || [ -z "$complete_shot" ]; then
    die "the native update pictured no waiting window or no final question"
fi
cp "$waiting_shot" "$run/pictures/native/4-waiting.png"
cp "$complete_shot" "$run/pictures/native/5-update-complete.png"

VENDORA_STANDIN_LOG="Z:${run//\//\\}\\standin.log"
export VENDORA_STANDIN_LOG
(cd "$run/cwd" && exec "$source/scripts/wine-run" "$WINEPREFIX/drive_c/Vendora/vendora.exe" --stay 600) \
    >/dev/null 2>&1 &
application=$!
# The stand-in writes its record, then opens its executable at once; INSTALL.EXE needs seconds to get to
# its open test.
deadline=$(($(date +%s) + 120))
until grep -q '^Vendora started' "$run/standin.log" 2>/dev/null; do
    [ "$(date +%s)" -lt "$deadline" ] || die "the stand-in did not start under Wine"
    sleep 0.05
done
"$source/scripts/wine-run" "$exe" >/dev/null 2>&1 &
installer=$!
id=$(wait_window '^Mise .* jour de Vendora') || die "the update question did not appear under Wine"
answer "$id" o
id=$(wait_window '^Installateur de Vendora') || die "the waiting window did not appear under Wine"
settled_picture "$id" "$run/pictures/wine/4-waiting.png" || die "no picture of the waiting window"
kill "$application"
wait "$application" 2>/dev/null || true
id=$(wait_window '^Mise .* jour Vendora') || die "the update-complete question did not appear under Wine"
settled_picture "$id" "$run/pictures/wine/5-update-complete.png" || die "no picture of the update-complete question"
answer "$id" n
wait "$installer" || die "INSTALL.EXE failed after the update"
installer=

# The message windows' height follows their text, which Wine's Tahoma wraps into more lines (it measures
# the outlines and draws the embedded bitmaps, and draws its bold with the regular glyphs): their last 40
# rows, the buttons' row and the margin below it, are compared on the windows' bottoms.
faults=0
for window in 1-opening 2-final 3-update 4-waiting 5-update-complete; do
    cp "$run/pictures/native/$window.png" "$out/$window-native.png"
    cp "$run/pictures/wine/$window.png" "$out/$window-wine.png"
    band=(--bottom 40)
    [ "$window" != 4-waiting ] || band=()
    status=0
    result=$("$pixel_diff" "$out/$window-native.png" "$out/$window-wine.png" --picture "$out/$window-diff.png" \
        "${band[@]}") || status=$?
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
