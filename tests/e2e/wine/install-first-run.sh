#!/usr/bin/env bash
# The first install of the real INSTALL.EXE, driven like a person: a fresh Wine prefix and HOME, a private
# X server, the installer's windows answered with the mouse and keys; then the disk is checked.
#
#   install-first-run.sh INSTALL.EXE PAYLOAD WORK FIXTURES
#
# PAYLOAD is the archive INSTALL.EXE carries. WORK is a folder of the build: it keeps the prefix made once
# by scripts/wine-prefix (WORK/wine-base; every run copies it), and receives a picture of each window
# (WORK/wine-snapshots/*.png) and the times measured (WORK/wine-snapshots/times.txt). FIXTURES holds
# file-times.exe, which reads a file's times back through GetFileTime.
#
# Opening question: "Oui" clicked. Final question: "n" ("Non"), so nothing is started.
# Exit code 0 when the run and the disk are as they should be.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    if [ $# -ne 4 ]; then
        echo "usage: $0 INSTALL.EXE PAYLOAD WORK FIXTURES" >&2
        exit 2
    fi
    for tool in Xvfb xdotool xwininfo xwd convert wineserver; do
        if ! command -v "$tool" >/dev/null; then
            echo "$0: $tool is missing (scripts/setup installs it)" >&2
            exit 2
        fi
    done
    exec "$source/scripts/with-xvfb" "$0" --inside "$(realpath "$1")" "$(realpath "$2")" "$(realpath -m "$3")" \
        "$(realpath "$4")"
fi

exe=$2
payload=$3
work=$4
fixtures=$5
snapshots=$work/wine-snapshots
mkdir -p "$snapshots" "$work"
rm -f "$snapshots"/*.png "$snapshots/times.txt"

# shellcheck source=lib.sh
. "$here/lib.sh"
prepare_run
# Where the stand-in vendora.exe would say that it was started (it must not be, after "Non").
export VENDORA_STANDIN_LOG="Z:${run//\//\\}\\standin.log"

cd "$run/cwd"
# The loader that fits the program (wine-run: wine64 for an x86-64 program).
start=$(now)
"$source/scripts/wine-run" "$exe" >"$run/stdout.txt" 2>"$run/stderr.txt" &
installer=$!

title='^Installation de Vendora\.exe'
first=$(wait_window "$title") || die "the opening question did not appear ($(cat "$run/stderr.txt"))"
asked=$(now)
snapshot 1-opening-question
click_button "$first" 1
answered=$(now)

# The final question comes in the same message window, once the executable has its time stamp. The
# progress window may pass too fast to be seen on the small demo payload; its picture is taken if it is.
stamped() {
    [ -f "$WINEPREFIX/drive_c/Vendora/vendora.exe" ] &&
        [ "$(stat -c %Y "$WINEPREFIX/drive_c/Vendora/vendora.exe")" = 1275490069 ]
}
progress_seen=0
deadline=$(($(date +%s) + 300))
final=
while :; do
    if [ $progress_seen -eq 0 ] && [ -n "$(visible '^D.concat.nation de')" ]; then
        snapshot 2-progress
        progress_seen=1
    fi
    if stamped; then
        final=$(visible "$title" | head -n 1)
        [ -n "$final" ] && break
    fi
    kill -0 "$installer" 2>/dev/null || die "the installer ended before the final question ($(cat "$run/stderr.txt"))"
    [ "$(date +%s)" -lt "$deadline" ] || die "no final question within 300 s"
    sleep 0.02
done
finished=$(now)
snapshot 3-final-question
answer "$final" n

status=0
wait "$installer" || status=$?
installer=
ended=$(now)
[ "$status" -eq 0 ] || fail "exit code $status, expected 0 ($(cat "$run/stderr.txt"))"

{
    echo "start to opening question on screen: $(elapsed "$start" "$asked") s"
    echo "answer to final question on screen: $(elapsed "$answered" "$finished") s"
    echo "final answer to exit: $(elapsed "$finished" "$ended") s"
    # Where the install's time goes: when each step's file last changed (change times cannot be set by
    # the program, unlike the times it stamps), from the answer "Oui".
    for file in Vendora.FCC Articles.QXF vendora.exe install.exe; do
        [ -e "$WINEPREFIX/drive_c/Vendora/$file" ] &&
            echo "  $file changed at +$(elapsed "$answered" "$(stat -c %.9Z "$WINEPREFIX/drive_c/Vendora/$file")") s"
    done
    for file in "$WINEPREFIX"/drive_c/windows/Fonts/[Ss]tarmath.ttf "$HOME/Desktop/Vendora © Morvanel.lnk"; do
        [ -e "$file" ] && echo "  $(basename "$file") changed at +$(elapsed "$answered" "$(stat -c %.9Z "$file")") s"
    done
} | tee "$snapshots/times.txt"

# The disk.
vendora=$WINEPREFIX/drive_c/Vendora
entries=(Articles.QXF Caisse.QXF Clients.QXF Colonnes.qxc Etiquettes.LP Fond.bmp Fournisseurs.QXF Logo.BMP
    Règlements.QXF StarMath.ttf Tickets.LP Vendora.jpg Ventes.QXF vendora.exe)
expected=$(printf '%s\n' "${entries[@]}" Vendora.FCC install.exe | LC_ALL=C sort)
actual=$(cd "$vendora" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "drive_c/Vendora holds:
$actual
expected:
$expected"
if find "$vendora" -iname '*.CTN' | grep -q .; then
    fail "an intermediate .CTN file was left"
fi
cmp -s "$vendora/Vendora.FCC" "$payload" || fail "Vendora.FCC is not the payload byte for byte"
cmp -s "$vendora/install.exe" "$exe" || fail "install.exe is not the installer byte for byte"

font=$(find "$WINEPREFIX/drive_c/windows/Fonts" -maxdepth 1 -iname starmath.ttf | head -n 1)
if [ -z "$font" ]; then
    fail "no Starmath.ttf in drive_c/windows/Fonts"
else
    cmp -s "$font" "$vendora/StarMath.ttf" || fail "the copied font differs from the archive's"
fi

# The shortcut: a shell link (header size 0x4C and the shell link class id) to the application.
link="$HOME/Desktop/Vendora © Morvanel.lnk"
if [ ! -f "$link" ]; then
    fail "no shortcut on the desktop; HOME holds: $(cd "$HOME" && find . -mindepth 1 -printf '%P ')"
else
    [ "$(head -c 20 "$link" | od -An -tx1 | tr -d ' \n')" = 4c0000000114020000000000c000000000000046 ] ||
        fail "the shortcut is not a shell link"
    grep -aqi 'c:\\Vendora\\Vendora.EXE' "$link" || fail "the shortcut does not name c:\\Vendora\\Vendora.EXE"
fi
home_files=$(cd "$HOME" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort)
[ "$home_files" = "$(printf 'Desktop\nDesktop/Vendora © Morvanel.lnk')" ] ||
    fail "HOME holds more than the shortcut: $home_files"

# 2010-06-02 14:47:49.5505328 UTC on the three times, read back by a Windows program through
# GetFileTime: 129199636695505328 in 100 ns units since 1601. Wine keeps no creation time of its own and
# reports the last-write time in its place, so the creation time read here is the stamped write time.
stamp=129199636695505328
if ! times=$("$source/scripts/wine-run" "$fixtures/file-times.exe" 'C:\Vendora\Vendora.EXE' 2>"$run/times.err"); then
    fail "the times of C:\Vendora\Vendora.EXE could not be read: $(cat "$run/times.err")"
else
    times=$(printf '%s' "$times" | tr -d '\r')
    [ "$times" = "$stamp $stamp $stamp" ] ||
        fail "Vendora.EXE times (creation access write, GetFileTime) are $times, expected $stamp for each"
fi

# Nothing started after "Non": every program of the prefix has ended once its server has.
wineserver -w
[ ! -e "$run/standin.log" ] || fail "the application was started: $(cat "$run/standin.log")"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; pictures in $snapshots" >&2
    exit 1
fi
echo "first install under Wine: all checks passed; pictures in $snapshots"
