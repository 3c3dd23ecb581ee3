#!/usr/bin/env bash
# INSTALL.EXE's start-up and size beside the empty NSIS installer of the same machine (i686: NSIS "Target
# x86-unicode"; x86-64: "amd64-unicode"), in one prefix with its Wine server kept up (as Windows' services
# are), alternating run by run:
#   - start-up: the empty installer's whole run ("SilentInstall silent", one empty section) against
#     INSTALL.EXE's start of the process to its opening question on screen (then refused with Escape);
#   - size: INSTALL.EXE without its payload (the file less its resource "FCC"/1) against the whole empty
#     installer, and, for a payload of the shipped shape (shipped-shape.sh) packed with "fcc pack --best",
#     the whole INSTALL.EXE carrying it against an NSIS installer of the same 14 files ("SetCompressor
#     zlib").
# The question counts as on screen when its window is mapped: the X server's MapNotify, stamped as it
# arrives (xev), for the window that then bears the question's title. A Wine that runs no program of the
# machine (an i686 INSTALL.EXE where no 32-bit Wine is installed) gives the sizes alone.
#
#   bench/wine/startup-and-size.sh INSTALL.EXE HOST_BUILD [RUNS [EARLIER.EXE]]
#
# HOST_BUILD is the host build whose payload/win32 or payload/win64 matches INSTALL.EXE (fcc and the
# demo's files come from there). RUNS per side, 7 by default, after one start of each program that is not
# counted. EARLIER.EXE, an earlier build of the same machine, is measured too, its runs between the other
# two, for a before and after in the same conditions. Prints every time and a Markdown table of medians.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    if [ $# -lt 2 ] || [ $# -gt 4 ]; then
        echo "usage: $0 INSTALL.EXE HOST_BUILD [RUNS [EARLIER.EXE]]" >&2
        exit 2
    fi
    for tool in makensis x86_64-w64-mingw32-gcc i686-w64-mingw32-gcc Xvfb xdotool xev stdbuf wineserver perl; do
        command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/setup installs it)" >&2; exit 2; }
    done
    exec "$source/scripts/with-xvfb" "$0" --inside "$(realpath "$1")" "$(realpath "$2")" "${3:-7}" \
        ${4:+"$(realpath "$4")"}
fi

host=$3
runs=$4
fcc=$host/bin/fcc
# The programs measured: INSTALL.EXE, and the earlier build when given.
programs=("$2")
names=(INSTALL.EXE)
if [ -n "${5:-}" ]; then
    programs+=("$5")
    names+=(earlier)
fi

# The PE machine field says which Windows a program is for.
machine_of() {
    local offset
    offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
    od -An -t x2 -j $((offset + 4)) -N 2 "$1" | tr -d ' '
}
case "$(machine_of "$2")" in
014c) machine=i686 windows=win32 nsis_target=x86-unicode ;;
8664) machine=x86-64 windows=win64 nsis_target=amd64-unicode ;;
*) echo "$0: $2 is neither an i686 nor an x86-64 Windows program" >&2; exit 2 ;;
esac
[ "$(machine_of "${programs[-1]}")" = "$(machine_of "$2")" ] || { echo "$0: $5 is not for the same machine" >&2; exit 2; }
demo_stage=$host/payload/$windows/stage
for file in "$fcc" "$demo_stage/vendora.exe"; do
    [ -e "$file" ] || { echo "$0: $file is missing: build the host preset first" >&2; exit 2; }
done
work=$host/wine-bench-$windows
snapshots=$work/wine-snapshots
mkdir -p "$work" "$snapshots"

# shellcheck source=../../tests/e2e/wine/lib.sh
. "$source/tests/e2e/wine/lib.sh"
# shellcheck source=shipped-shape.sh
. "$here/shipped-shape.sh"
prepare_run
bench=$run/bench
mkdir -p "$bench"

# The size in bytes of the resource "FCC"/1 of a PE file: its resource directory walked from the type
# named "FCC" to the identifier 1 and its first language.
fcc_resource_size() {
    perl -e '
        open(my $f, "<:raw", $ARGV[0]) or die "$ARGV[0]: $!"; local $/; my $b = <$f>;
        my $pe = unpack("V", substr($b, 0x3C, 4));
        my ($sections, $optional) = unpack("v x12 v", substr($b, $pe + 6, 16));
        my $opt = $pe + 24;
        my $dirs = $opt + (unpack("v", substr($b, $opt, 2)) == 0x20B ? 112 : 96);
        my $rsrc = unpack("V", substr($b, $dirs + 2 * 8, 4));
        my @table = map { [unpack("x8 V V V V", substr($b, $opt + $optional + 40 * $_, 24))] } 0 .. $sections - 1;
        sub at { my $rva = shift; for (@table) { my ($vsize, $va, $raw, $ptr) = @$_;
            return $ptr + $rva - $va if $rva >= $va && $rva < $va + ($vsize > $raw ? $vsize : $raw) } die "rva $rva" }
        my $base = at($rsrc);
        sub entries { my $dir = shift; my ($named, $ids) = unpack("v v", substr($b, $dir + 12, 4));
            map { [unpack("V V", substr($b, $dir + 16 + 8 * $_, 8))] } 0 .. $named + $ids - 1 }
        sub name { my $at = $base + (shift() & 0x7FFFFFFF); my $n = unpack("v", substr($b, $at, 2));
            join("", map { chr } unpack("v*", substr($b, $at + 2, 2 * $n))) }
        my ($type) = grep { $_->[0] & 0x80000000 && name($_->[0]) eq "FCC" } entries($base) or die "no FCC";
        my ($id) = grep { $_->[0] == 1 } entries($base + ($type->[1] & 0x7FFFFFFF)) or die "no FCC 1";
        my ($lang) = entries($base + ($id->[1] & 0x7FFFFFFF));
        print unpack("x4 V", substr($b, $base + $lang->[1], 8)), "\n";
    ' "$1"
}

size_of() { stat -c %s "$1"; }

# An NSIS installer for the machine: the files of stage (none for the empty one, which is silent) into
# C:\NSIS-Vendora.
nsis_installer() {
    local name=$1 stage=$2 script=$bench/$1.nsi
    {
        echo 'Unicode true'
        echo "Target $nsis_target"
        echo 'SetCompressor zlib'
        echo 'RequestExecutionLevel user'
        [ -n "$stage" ] || echo 'SilentInstall silent'
        echo "Name \"Vendora $name\""
        echo "OutFile \"$bench/$name.exe\""
        echo 'InstallDir "C:\NSIS-Vendora"'
        echo 'Section'
        [ -z "$stage" ] || echo '  SetOutPath "$INSTDIR"'
        [ -z "$stage" ] || echo "  File /r \"$stage/*\""
        echo 'SectionEnd'
    } >"$script"
    makensis -V1 "$script" >"$bench/$name.log" 2>&1 || { cat "$bench/$name.log" >&2; die "makensis failed for $name"; }
}

# ---- Sizes ----
nsis_installer nsis-empty ""
shipped_stage "$demo_stage" "$bench/shipped-stage"
"$fcc" pack "$bench/shipped-stage" -o "$bench/shipped-best.FCC" --best >/dev/null
"$fcc" verify "$bench/shipped-best.FCC" >/dev/null
nsis_installer nsis-shipped "$bench/shipped-stage"
x86_64-w64-mingw32-gcc -std=c11 -O2 -Wall -Wextra -Werror -static -s -o "$bench/replace-payload.exe" \
    "$here/ReplacePayload.c"
# For each program: its size without its payload, and the whole of a copy carrying the shipped shape.
program_sizes=()
shipped_sizes=()
for p in "${!programs[@]}"; do
    copy=$bench/shipped-$p.exe
    cp "${programs[p]}" "$copy"
    "$source/scripts/wine-run" "$bench/replace-payload.exe" "$(windows_path "$copy")" \
        "$(windows_path "$bench/shipped-best.FCC")" || die "the shipped-shape payload could not be put into ${programs[p]}"
    [ "$(fcc_resource_size "$copy")" = "$(size_of "$bench/shipped-best.FCC")" ] ||
        die "$copy does not carry the shipped-shape payload"
    program_sizes+=("$(($(size_of "${programs[p]}") - $(fcc_resource_size "${programs[p]}")))")
    shipped_sizes+=("$(size_of "$copy")")
done

# ---- Start-up ----
# Wine lets a window manager manage the top-level windows and, on hiding one, waits up to 2 s for it; the
# private X server has none, so the prefix's X11 driver manages them itself (as nsis-side-by-side.sh).
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n' >"$WINEPREFIX/drive_c/unmanaged.reg"
wine regedit /S 'C:\unmanaged.reg' >/dev/null 2>&1 || die "the X11 driver setting could not be made"
rm -f "$WINEPREFIX/drive_c/unmanaged.reg"
wineserver -w
wineserver -p

# Every top-level window mapped on the X server, one line each: the time it was seen and its id.
maps=$bench/maps
: >"$maps"
stdbuf -oL xev -root -event substructure 2>/dev/null | perl -MTime::HiRes=time -ne '
    BEGIN { $| = 1 }
    if (/^MapNotify/) { $seen = time } elsif (defined $seen && /window (0x[0-9a-f]+), override/) {
        printf "%.6f %d\n", $seen, hex($1); undef $seen }' >>"$maps" &
watcher=$!
trap 'kill "$watcher" 2>/dev/null || true; cleanup_run' EXIT
sleep 0.5

# The empty installer's whole run, in seconds, into took; fails when Wine cannot run it.
time_nsis() {
    local start
    start=$(now)
    "$source/scripts/wine-run" "$bench/nsis-empty.exe" >/dev/null 2>&1 || return 1
    took=$(elapsed "$start" "$(now)")
}

# A program from the start of its process to its opening question mapped, in seconds, into took; then
# Escape.
title='^Installation de Vendora\.exe'
time_question() {
    local exe=$1 start before id mapped
    before=$(wc -l <"$maps")
    start=$(now)
    (cd "$run/cwd" && exec "$source/scripts/wine-run" "$exe" >/dev/null 2>&1) &
    installer=$!
    id=$(wait_window "$title") || die "no opening question; $(screen_said)"
    mapped=$(tail -n +"$((before + 1))" "$maps" | awk -v id="$id" '$2 == id { print $1; exit }')
    [ -n "$mapped" ] || die "the question's window $id was never seen mapped"
    answer "$id" Escape
    wait "$installer" || die "exit code $? after Escape"
    installer=
    took=$(elapsed "$start" "$mapped")
}

median() { printf '%s\n' "$@" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

# Whether this Wine runs programs of the machine: a program that only returns 42 (Debian's wine64 alone
# ends 32-bit programs at once with code 0).
runs_here() {
    local compiler=x86_64-w64-mingw32-gcc status=0
    [ "$machine" = x86-64 ] || compiler=i686-w64-mingw32-gcc
    printf 'int main(void) { return 42; }\n' >"$bench/probe.c"
    "$compiler" -o "$bench/probe.exe" "$bench/probe.c" 2>/dev/null || return 1
    "$source/scripts/wine-run" "$bench/probe.exe" >/dev/null 2>&1 || status=$?
    [ "$status" -eq 42 ]
}

nsis_times=()
declare -A question_times
if runs_here && time_nsis; then
    for p in "${!programs[@]}"; do
        time_question "${programs[p]}"
    done
    for ((i = 1; i <= runs; i++)); do
        time_nsis || die "the empty NSIS installer failed"
        nsis_times+=("$took")
        line="run $i: empty NSIS installer, whole run $took s"
        # Then the earlier build, then INSTALL.EXE.
        for ((p = ${#programs[@]} - 1; p >= 0; p--)); do
            time_question "${programs[p]}"
            question_times[$p]+=" $took"
            line+="; ${names[p]}, start to question $took s"
        done
        echo "$line"
    done
else
    echo "This Wine runs no $machine program: start-up not measured, sizes only."
fi

objdump=$([ "$machine" = i686 ] && echo i686 || echo x86_64)-w64-mingw32-objdump
sections() {
    "$objdump" -h "$1" | awk '$1 ~ /^[0-9]+$/ { print $2, $3 }' | while read -r name hex; do
        printf '%s %d, ' "$name" "$((16#$hex))"
    done
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

{
    echo
    echo "$machine INSTALL.EXE against the empty NSIS installer ($nsis_target), wine $(wine --version 2>/dev/null | sed 's/^wine-//'), $(nproc) cores, medians of $runs:"
    echo
    header="| |"
    rule="|---|"
    for p in "${!programs[@]}"; do
        header+=" ${names[p]} |"
        rule+="---:|"
    done
    header+=" NSIS |"
    rule+="---:|"
    for p in "${!programs[@]}"; do
        header+=" ${names[p]} / NSIS |"
        rule+="---:|"
    done
    echo "$header"
    echo "$rule"
    row() {
        local line="| $1 |" unit=$2 reference=$3
        shift 3
        for value in "$@"; do line+=" $value$unit |"; done
        line+=" $reference$unit |"
        for value in "$@"; do line+=" $(ratio "$value" "$reference") |"; done
        echo "$line"
    }
    if [ ${#nsis_times[@]} -gt 0 ]; then
        medians=()
        for p in "${!programs[@]}"; do
            # shellcheck disable=SC2086
            medians+=("$(median ${question_times[$p]})")
        done
        row "start of the process to the opening question on screen; NSIS: the empty installer's whole run" \
            " s" "$(median "${nsis_times[@]}")" "${medians[@]}"
    fi
    row "the program without its payload; NSIS: the whole empty installer" " B" \
        "$(size_of "$bench/nsis-empty.exe")" "${program_sizes[@]}"
    row "shipped shape (14 files, 4,433,637 B; INSTALL.EXE: \`fcc pack --best\`, $(size_of "$bench/shipped-best.FCC") B; NSIS: \`SetCompressor zlib\`)" \
        " B" "$(size_of "$bench/nsis-shipped.exe")" "${shipped_sizes[@]}"
    echo
    for p in "${!programs[@]}"; do
        sizes=$(sections "${programs[p]}")
        echo "Sections of ${names[p]} (bytes): ${sizes%, }"
    done
} | tee "$work/startup-and-size.md"
