#!/usr/bin/env bash
# How long the installer takes from the start of its process to the opening question on screen, on a
# private X server: RUNS starts (5 by default), each answered with Escape so that nothing is installed,
# then the median. A Windows program (.EXE) runs under Wine in a fresh prefix copy: "cold", each start
# with a Wine server of its own (none left from the start before), or "warm", one server and its
# services kept up across the starts, after one start that is not counted (closer to Windows, where
# they are always up). The native Linux program runs in a fresh emulated machine with its X11 windows.
#
#   startup-time.sh PROGRAM WORK [RUNS [cold|warm]]
#
# WORK is the build folder that keeps the base prefix (build/win32, say). Prints each time and
# the median, in seconds. With VENDORA_UI_DPI=N a Windows program runs on a screen of N dpi (Wine's
# LogPixels in the run's prefix).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    if [ $# -lt 2 ] || [ $# -gt 4 ] || ! [[ "${4:-cold}" =~ ^(cold|warm)$ ]]; then
        echo "usage: $0 PROGRAM WORK [RUNS [cold|warm]]" >&2
        exit 2
    fi
    exec "$source/scripts/with-xvfb" "$0" --inside "$(realpath "$1")" "$(realpath -m "$2")" "${3:-5}" "${4:-cold}"
fi

program=$2
work=$3
runs=$4
mode=$5
snapshots=$work/wine-snapshots
mkdir -p "$work"
# shellcheck source=lib.sh
. "$here/lib.sh"

case "$program" in
*.EXE | *.exe)
    windows=1
    prepare_run
    if [ -n "${VENDORA_UI_DPI:-}" ]; then
        printf '\n[System\\\\CurrentControlSet\\\\Hardware Profiles\\\\Current\\\\Software\\\\Fonts] 1700000000\n"LogPixels"=dword:%08x\n' \
            "$VENDORA_UI_DPI" >>"$run/prefix/system.reg"
    fi
    if [ "$mode" = warm ]; then
        wineserver -p
        (cd "$run/prefix/drive_c" && "$source/scripts/wine-run" "$program" >/dev/null 2>&1) &
        installer=$!
        id=$(wait_window '^Installation de Vendora\.exe') || die "no opening question"
        answer "$id" Escape
        wait "$installer" || true
    fi
    ;;
*)
    windows=0
    run=$(mktemp -d "${TMPDIR:-/tmp}/vendora-native.XXXXXX")
    trap 'rm -rf "$run"' EXIT
    ;;
esac

times=()
for ((i = 1; i <= runs; i++)); do
    if [ $windows -eq 1 ]; then
        [ "$mode" = warm ] || wineserver -w
        cd "$run/prefix/drive_c"
        start=$(now)
        "$source/scripts/wine-run" "$program" >/dev/null 2>&1 &
    else
        rm -rf "$run/root"
        mkdir -p "$run/root/drive_c/Windows/Fonts"
        cd "$run"
        start=$(now)
        VENDORA_ROOT=$run/root "$program" >/dev/null 2>&1 &
    fi
    installer=$!
    id=$(wait_window '^Installation de Vendora\.exe') || die "run $i: no opening question"
    shown=$(now)
    answer "$id" Escape
    status=0
    wait "$installer" || status=$?
    installer=
    [ "$status" -eq 0 ] || die "run $i: exit code $status after Escape"
    times+=("$(elapsed "$start" "$shown")")
    echo "run $i: ${times[-1]} s"
done
printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "median of %d: %s s\n", NR, t[int((NR + 1) / 2)] }'
