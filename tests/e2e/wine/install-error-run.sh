#!/usr/bin/env bash
# INSTALL.EXE with a damaged payload under Wine, driven like a person: the opening question is answered
# with Enter, the inflation fails, the error box "Erreur d'application" names the error and is closed with
# Enter; the program then ends with exit code 1, and nothing but the archive file was written.
#
#   install-error-run.sh INSTALL.EXE WORK
#
# WORK as for install-first-run.sh; the picture of the error box goes to WORK/wine-snapshots.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    if [ $# -ne 2 ]; then
        echo "usage: $0 INSTALL.EXE WORK" >&2
        exit 2
    fi
    exec "$source/scripts/with-xvfb" "$0" --inside "$(realpath "$1")" "$(realpath -m "$2")"
fi

exe=$2
work=$3
snapshots=$work/wine-snapshots
mkdir -p "$snapshots"
rm -f "$snapshots"/error-*.png

# shellcheck source=lib.sh
. "$here/lib.sh"
prepare_run

cd "$run/cwd"
"$source/scripts/wine-run" "$exe" >"$run/stdout.txt" 2>"$run/stderr.txt" &
installer=$!

first=$(wait_window '^Installation de Vendora\.exe') || die "the opening question did not appear"
answer "$first" Return
box=$(wait_window "^Erreur d'application") || die "no error box ($(cat "$run/stderr.txt"))"
snapshot error-box
# The box is the message window of the opening question, hidden and shown again with nothing in between:
# under Wine without a window manager such a window gets no keys until it is clicked (a bare Win32 window
# does the same), so it is clicked first, away from its button, as a person would to bring it forward.
xdotool mousemove --window "$box" 400 10 click 1
answer "$box" Return
# Enter must end it as it ends every message window. If it does not (the box never got the keyboard),
# that is a failure, and a click on "OK" ends the run so that the rest can still be checked.
ended_within() {
    local deadline=$(($(date +%s) + $1))
    while kill -0 "$installer" 2>/dev/null; do
        [ "$(date +%s)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}
if ! ended_within 30; then
    fail "Enter did not close the error box (X focus on $(xdotool getwindowfocus), the box is $box)"
    xdotool mousemove --window "$box" 60 50 click 1
fi

status=0
wait "$installer" || status=$?
installer=
[ "$status" -eq 1 ] || fail "exit code $status, expected 1"
grep -q "Error in compression routine: -3" "$run/stderr.txt" ||
    fail "the error's text is not \"Error in compression routine: -3\": $(cat "$run/stderr.txt")"

# Nothing after the failure: only the archive file, no font, no shortcut.
actual=$(cd "$WINEPREFIX/drive_c/Vendora" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort)
[ "$actual" = Vendora.FCC ] || fail "drive_c/Vendora holds: $actual"
if find "$WINEPREFIX/drive_c/windows/Fonts" -maxdepth 1 -iname starmath.ttf | grep -q .; then
    fail "the font was copied"
fi
home_files=$(cd "$HOME" && find . -mindepth 1 -printf '%P\n')
[ "$home_files" = Desktop ] || fail "HOME holds more than an empty desktop: $home_files"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; pictures in $snapshots" >&2
    exit 1
fi
echo "damaged payload under Wine: error box, exit code 1, only the archive written"
