#!/usr/bin/env bash
# INSTALL.EXE beside an NSIS installer of the same payload, under wine64 on a private X server, in one
# prefix, alternating run by run:
#   - NSIS silent (/S) installing the payload's files into a folder, against INSTALL.EXE answered by keys
#     ("Oui" to the opening question, "Non" to the final one): NSIS's whole process, and INSTALL.EXE's time
#     from "Oui" to the final question on screen (its install time);
#   - the empty NSIS installer (/S) against INSTALL.EXE refused at its first question (Escape): the cost
#     of starting, NSIS's whole process against INSTALL.EXE's start to the question on screen and to its
#     exit.
# On the demo payload that INSTALL.EXE carries and on a payload of the shipped shape (14 entries, about
# 2.0 MB compressed at zlib level 1 and 4,433,637 bytes inflated, made here from the demo's files and a
# large vendora.exe), put into a copy of INSTALL.EXE with Windows' resource update calls.
#
# NSIS is Debian's nsis package (makensis): "Target amd64-unicode" (it runs under wine64), "SetCompressor
# zlib", one section writing the files into a folder. Wine's server is kept up across the runs (as
# Windows' services are), after one start of each program that is not counted.
#
#   bench/wine/nsis-side-by-side.sh INSTALL.EXE HOST_BUILD [RUNS]
#
# INSTALL.EXE is the x86-64 program (build/win64/bin/INSTALL.EXE); HOST_BUILD the host build whose
# payload/win64/ it carries (fcc and the demo's files come from there). RUNS per measure, 5 by default.
# Prints every time and a table of medians (Markdown). Window and file checks are polled every 20 ms, so
# INSTALL.EXE's times carry up to about 50 ms of polling.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    if [ $# -lt 2 ] || [ $# -gt 3 ]; then
        echo "usage: $0 INSTALL.EXE HOST_BUILD [RUNS]" >&2
        exit 2
    fi
    for tool in makensis x86_64-w64-mingw32-gcc Xvfb xdotool wineserver perl; do
        command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/setup installs it)" >&2; exit 2; }
    done
    exec "$source/scripts/with-xvfb" "$0" --inside "$(realpath "$1")" "$(realpath "$2")" "${3:-5}"
fi

exe=$2
host=$3
runs=$4
work=$host/wine-bench
snapshots=$work/wine-snapshots
mkdir -p "$work" "$snapshots"
fcc=$host/bin/fcc
demo_stage=$host/payload/win64/stage
demo_archive=$host/payload/win64/Vendora.FCC
for file in "$fcc" "$demo_archive" "$demo_stage/vendora.exe"; do
    [ -e "$file" ] || { echo "$0: $file is missing: build the host preset first" >&2; exit 2; }
done

# shellcheck source=../../tests/e2e/wine/lib.sh
. "$source/tests/e2e/wine/lib.sh"
# shellcheck source=shipped-shape.sh
. "$here/shipped-shape.sh"
prepare_run
bench=$run/bench
mkdir -p "$bench"

# Wine lets a window manager manage the top-level windows, and on hiding one it waits up to 2 s for the
# manager to withdraw it; the private X server has none, so every hidden window (the message window after
# "Oui", the progress window after the split) would cost 2 s that neither Windows nor a desktop with a
# window manager pays. The prefix's X11 driver is told to manage the windows itself.
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n' >"$WINEPREFIX/drive_c/unmanaged.reg"
wine regedit /S 'C:\unmanaged.reg' >/dev/null 2>&1 || die "the X11 driver setting could not be made"
rm -f "$WINEPREFIX/drive_c/unmanaged.reg"

# The shipped shape (shipped-shape.sh), packed at zlib level 1 as the shipped archive is: about 2.0 MB.
shipped_shape() {
    shipped_stage "$demo_stage" "$bench/shipped-stage"
    "$fcc" pack "$bench/shipped-stage" -o "$bench/shipped.FCC" --level 1 >/dev/null
    "$fcc" verify "$bench/shipped.FCC" >/dev/null
}

# An NSIS installer: the files of stage (none for the empty one) into C:\NSIS-Vendora.
nsis_installer() {
    local name=$1 stage=$2 script=$bench/$1.nsi
    {
        echo 'Unicode true'
        echo 'Target amd64-unicode'
        echo 'SetCompressor zlib'
        echo 'RequestExecutionLevel user'
        echo "Name \"Vendora $name\""
        echo "OutFile \"$bench/$name.exe\""
        echo 'InstallDir "C:\NSIS-Vendora"'
        echo 'Section'
        echo '  SetOutPath "$INSTDIR"'
        [ -z "$stage" ] || echo "  File /r \"$stage/*\""
        echo 'SectionEnd'
    } >"$script"
    makensis -V1 "$script" >"$bench/$name.log" 2>&1 || { cat "$bench/$name.log" >&2; die "makensis failed for $name"; }
}

size_of() { stat -c %s "$1"; }

shipped_shape
nsis_installer nsis-demo "$demo_stage"
nsis_installer nsis-shipped "$bench/shipped-stage"
nsis_installer nsis-empty ""

x86_64-w64-mingw32-gcc -std=c11 -O2 -Wall -Wextra -Werror -static -s -o "$bench/replace-payload.exe" \
    "$here/ReplacePayload.c"
cp "$exe" "$bench/install-demo.exe"
cp "$exe" "$bench/install-shipped.exe"
"$source/scripts/wine-run" "$bench/replace-payload.exe" "Z:${bench//\//\\}\\install-shipped.exe" \
    "Z:${bench//\//\\}\\shipped.FCC" || die "the shipped-shape payload could not be put into INSTALL.EXE"

vendora=$WINEPREFIX/drive_c/Vendora
nsis_folder=$WINEPREFIX/drive_c/NSIS-Vendora
clean() {
    rm -rf "$vendora" "$nsis_folder" "$HOME/Desktop"/*.lnk
    rm -f "$WINEPREFIX/drive_c/windows/Fonts/Starmath.ttf"
}

# One NSIS run: its whole process, in seconds.
time_nsis() {
    local program=$1 start
    start=$(now)
    "$source/scripts/wine-run" "$program" /S >/dev/null 2>&1 || die "$program /S failed"
    elapsed "$start" "$(now)"
}

# INSTALL.EXE through its questions: prints "START_TO_QUESTION OUI_TO_FINAL" (answered "Oui", then "Non")
# or "START_TO_QUESTION START_TO_EXIT" (refused with Escape).
title='^Installation de Vendora\.exe'
time_install() {
    local program=$1 mode=$2 start shown answered id final=
    start=$(now)
    (cd "$run/cwd" && exec "$source/scripts/wine-run" "$program" >/dev/null 2>&1) &
    installer=$!
    id=$(wait_window "$title") || {
        snapshot bench-no-question
        die "$program: no opening question; windows: $(xdotool search --name . 2>/dev/null | while read -r w; do
            printf '[%s] ' "$(xdotool getwindowname "$w")"; done); screen in $snapshots/bench-no-question.png"
    }
    shown=$(now)
    if [ "$mode" = refuse ]; then
        answer "$id" Escape
        wait "$installer" || die "$program: exit code $? after Escape"
        installer=
        echo "$(elapsed "$start" "$shown") $(elapsed "$start" "$(now)")"
        return
    fi
    answer "$id" Return
    answered=$(now)
    while :; do
        if [ -f "$vendora/vendora.exe" ] && [ "$(stat -c %Y "$vendora/vendora.exe")" = 1275490069 ]; then
            final=$(visible "$title" | head -n 1)
            [ -n "$final" ] && break
        fi
        kill -0 "$installer" 2>/dev/null || die "$program ended before the final question"
        sleep 0.02
    done
    local done_at
    done_at=$(now)
    answer "$final" n
    wait "$installer" || die "$program: exit code $? after Non"
    installer=
    echo "$(elapsed "$start" "$shown") $(elapsed "$answered" "$done_at")"
}

median() { printf '%s\n' "$@" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

# The server and each program once, not counted; then the installs are checked once.
wineserver -w
wineserver -p
clean
time_nsis "$bench/nsis-empty.exe" >/dev/null
for payload in demo shipped; do
    clean
    time_nsis "$bench/nsis-$payload.exe" >/dev/null
    [ "$(find "$nsis_folder" -type f | wc -l)" -eq 14 ] || die "NSIS ($payload) did not write the 14 files"
    time_install "$bench/install-$payload.exe" install >/dev/null
    expected=$demo_archive
    [ "$payload" = demo ] || expected=$bench/shipped.FCC
    cmp -s "$vendora/Vendora.FCC" "$expected" || die "install-$payload.exe does not carry the $payload payload"
    cmp -s "$vendora/vendora.exe" "$nsis_folder/vendora.exe" || die "the two installers wrote different vendora.exe"
done

declare -A results
for ((i = 1; i <= runs; i++)); do
    for payload in demo shipped; do
        clean
        t=$(time_nsis "$bench/nsis-$payload.exe")
        results[nsis-$payload]+=" $t"
        clean
        read -r question install < <(time_install "$bench/install-$payload.exe" install)
        results[install-$payload]+=" $install"
        echo "run $i $payload: NSIS /S $t s; INSTALL.EXE start to question $question s, Oui to final question $install s"
    done
    clean
    t=$(time_nsis "$bench/nsis-empty.exe")
    results[nsis-empty]+=" $t"
    read -r question whole < <(time_install "$bench/install-demo.exe" refuse)
    results[refuse-question]+=" $question"
    results[refuse-whole]+=" $whole"
    echo "run $i start-up: empty NSIS /S $t s; INSTALL.EXE start to question $question s, to exit after Escape $whole s"
done

# shellcheck disable=SC2086
{
    empty=$(median ${results[nsis-empty]})
    question=$(median ${results[refuse-question]})
    whole=$(median ${results[refuse-whole]})
    echo
    echo "Medians of $runs runs, seconds (wine $(wine --version 2>/dev/null | sed 's/^wine-//'), $(nproc) cores):"
    echo
    echo "| payload | compressed | inflated | NSIS installer | NSIS /S, whole process | NSIS /S minus the empty installer | INSTALL.EXE, \"Oui\" to final question |"
    echo "|---|---:|---:|---:|---:|---:|---:|"
    for payload in demo shipped; do
        archive=$demo_archive
        [ "$payload" = demo ] || archive=$bench/shipped.FCC
        inflated=$(od -An -t d4 -N 4 "$archive" | tr -d ' ')
        nsis=$(median ${results[nsis-$payload]})
        echo "| $payload | $(size_of "$archive") B | $inflated B | $(size_of "$bench/nsis-$payload.exe") B | $nsis | $(elapsed "$empty" "$nsis") | $(median ${results[install-$payload]}) |"
    done
    echo
    echo "| start-up | seconds |"
    echo "|---|---:|"
    echo "| empty NSIS installer /S, whole process ($(size_of "$bench/nsis-empty.exe") B) | $empty |"
    echo "| INSTALL.EXE (demo payload), start to the opening question on screen | $question |"
    echo "| INSTALL.EXE (demo payload), start to exit after Escape at the opening question | $whole |"
} | tee "$work/nsis-side-by-side.md"
