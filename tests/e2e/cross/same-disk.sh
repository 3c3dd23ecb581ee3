#!/usr/bin/env bash
# The same disk from both builds: the native INSTALL (headless, in a fresh emulated machine) and
# INSTALL.EXE under Wine (keys, in a fresh prefix) install the same payload with the same answers ("Oui",
# then "Non"), and what each wrote into its drive C: is compared: every file and created folder, with the
# letter case of the names the run created, sizes, contents and last-write times. Every difference is
# printed; those that come from the build itself (install.exe is the installer's copy of itself, and the
# shortcut's bytes are each shell link writer's own) are marked so and do not fail the check. The two
# shortcuts are then read through the Windows shell (IShellLinkW) and must give the same fields.
#
#   same-disk.sh INSTALL.EXE NATIVE_INSTALL PAYLOAD WORK SHORTCUT_FIELDS.EXE
#
# NATIVE_INSTALL is the native program carrying PAYLOAD, the archive INSTALL.EXE carries. WORK is the
# build folder (base prefix, see tests/e2e/wine/install-first-run.sh); the lists and the reasons go to
# WORK/cross/ (WORK/cross/ru_RU/ under VENDORA_WINE_LOCALE=ru_RU.UTF-8).
#
# Last-write times: a time before the run is compared as it is (the executable's fixed time stamp);
# a time during the run differs between any two runs, so it is compared by what it equals: a copy that
# keeps its source's time (the font) is "during the run, same as" its source in both trees.
#
# VENDORA_WINE_LOCALE (ru_RU.UTF-8, pl_PL.UTF-8...) runs the Windows programs in that locale, whose code page
# Wine makes the system's ANSI code page, and gives the user a desktop "C:\users\Иван\Desktop"; the tree
# must still be the native one, name for name. VENDORA_WINE_CODE_PAGE is the code page that the locale must
# give, checked in the run, so that the check cannot pass in another.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    if [ $# -ne 5 ]; then
        echo "usage: $0 INSTALL.EXE NATIVE_INSTALL PAYLOAD WORK SHORTCUT_FIELDS.EXE" >&2
        exit 2
    fi
    for file in "$1" "$2" "$3" "$5"; do
        [ -f "$file" ] || { echo "$0: $file is missing (the native side comes from the host build)" >&2; exit 2; }
    done
    for tool in Xvfb xdotool import wineserver sha256sum; do
        command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/setup installs it)" >&2; exit 2; }
    done
    exec "$source/scripts/with-xvfb" "$0" --inside "$(realpath "$1")" "$(realpath "$2")" "$(realpath "$3")" \
        "$(realpath -m "$4")" "$(realpath "$5")"
fi

exe=$2
native_program=$3
payload=$4
work=$5
fields_program=$6
out=$work/cross${VENDORA_WINE_LOCALE:+/${VENDORA_WINE_LOCALE%%.*}}
snapshots=$work/wine-snapshots
mkdir -p "$out" "$snapshots"

# shellcheck source=../wine/lib.sh
. "$source/tests/e2e/wine/lib.sh"
# shellcheck source=cross-lib.sh
. "$here/cross-lib.sh"
prepare_run
wine_desktop=$HOME/Desktop
[ -z "${VENDORA_WINE_LOCALE:-}" ] || foreign_desktop

native_install "$native_program"
wine_install "$exe"

# What a run wrote below drive: one line a file or created folder, "PATH<TAB>SIZE<TAB>SHA-256<TAB>TIME".
# PATH keeps the letter case of the names the run created; names that existed before are lower-cased (the
# two machines spell their own folders differently: Windows or windows). The desktop folder is
# "<desktop>" (elsewhere on each machine).
written() {
    local drive=$1 before=$2 marker=$3 desktop=$4 started=$5
    declare -A existed=()
    local path
    while IFS= read -r path; do existed[$path]=1; done <"$before"
    local desktop_rel=${desktop#"$drive"/}
    {
        (cd "$drive" && find . -mindepth 1 \( -path "./$desktop_rel" -prune \) -o -cnewer "$marker" -printf 'D%P\n')
        (cd "$desktop" && find . -mindepth 1 -cnewer "$marker" -printf 'S%P\n')
    } | LC_ALL=C sort | while IFS= read -r entry; do
        local rel=${entry:1} host name
        if [ "${entry:0:1}" = S ]; then
            host=$desktop/$rel
            name="<desktop>/$rel"
        else
            host=$drive/$rel
            [ -z "${existed[$rel]:-}" ] || [ -f "$host" ] || continue
            local prefix="" part
            name=""
            local IFS=/
            for part in $rel; do
                prefix=${prefix:+$prefix/}$part
                if [ -n "${existed[$prefix]:-}" ]; then
                    name=${name:+$name/}${part,,}
                else
                    name=${name:+$name/}$part
                fi
            done
            unset IFS
        fi
        if [ -d "$host" ]; then
            printf '%s\tfolder\t-\t-\n' "$name"
        else
            local mtime
            # Windows keeps file times in units of 100 ns: a copy's time is its source's, cut to that unit.
            mtime=$(stat -c %.9Y "$host")
            mtime=${mtime%??}
            if [ "${mtime%.*}" -lt "$started" ]; then
                mtime="fixed $(date -u -d "@$mtime" '+%Y-%m-%d %H:%M:%S.%7N UTC')"
            else
                mtime="run:$mtime"
            fi
            printf '%s\t%s\t%s\t%s\n' "$name" "$(stat -c %s "$host")" "$(sha256sum <"$host" | cut -c1-64)" "$mtime"
        fi
    done | awk -F '\t' -v OFS='\t' '
        { row[NR] = $0; name[NR] = $1; time[NR] = $4; if ($4 ~ /^run:/) group[$4] = group[$4] " " NR }
        END {
            for (i = 1; i <= NR; i++) {
                t = time[i]
                if (t ~ /^run:/) {
                    n = split(group[t], members, " "); same = ""
                    for (j = 1; j <= n; j++) if (members[j] != i) same = same (same == "" ? "" : ", ") name[members[j]]
                    t = same == "" ? "during the run" : "during the run, same as " same
                }
                split(row[i], f, "\t")
                print f[1], f[2], f[3], t
            }
        }'
}

native_desktop_host=$native_desktop
written "$native_root/drive_c" "$run/native.before" "$run/native.marker" "$native_desktop_host" \
    "$native_started" >"$out/native-tree.txt"
written "$WINEPREFIX/drive_c" "$run/wine.before" "$run/wine.marker" "$wine_desktop" "$wine_started" \
    >"$out/wine-tree.txt"

echo "== what each build wrote (native | wine): $out/native-tree.txt, $out/wine-tree.txt"
# Paths in both, in one only, and letter case differences; field by field.
differences=$(awk -F '\t' '
    function by_build(path) {
        if (path == "Vendora/install.exe") return "the installer copies itself: a Linux program against a Windows one"
        if (path ~ /^<desktop>\/.*\.lnk$/) return "each shell link writer lays the file out its own way; read through the shell below"
        return ""
    }
    # A file one build wrote and the other did not (or under another name) is never the build'"'"'s doing.
    function report(path, what, excusable) {
        reason = excusable ? by_build(path) : ""
        if (reason == "") { print "DIFF " path ": " what; faults++ }
        else print "build " path ": " what " (" reason ")"
    }
    FNR == NR { native[$1] = $0; next }
    { wine[$1] = $0 }
    END {
        for (p in native) lower_native[tolower(p)] = p
        for (p in wine) lower_wine[tolower(p)] = p
        for (p in native) {
            if (!(p in wine)) {
                other = lower_wine[tolower(p)]
                report(p, other != "" ? "written as " p " by the native build and as " other " under Wine" : "written only by the native build", 0)
                continue
            }
            split(native[p], a, "\t"); split(wine[p], b, "\t")
            if (a[2] != b[2]) report(p, "size " a[2] " native, " b[2] " wine", 1)
            else if (a[3] != b[3]) report(p, "same size, other contents", 1)
            if (a[4] != b[4]) report(p, "last-write time " a[4] " native, " b[4] " wine", 1)
        }
        for (p in wine)
            if (!(p in native) && lower_native[tolower(p)] == "") report(p, "written only under Wine", 0)
        exit faults > 0
    }' "$out/native-tree.txt" "$out/wine-tree.txt") || true
sed 's/^/  native: /' "$out/native-tree.txt"
sed 's/^/  wine:   /' "$out/wine-tree.txt"
if [ -n "$differences" ]; then
    echo "== differences"
    echo "$differences" | LC_ALL=C sort
fi
faults=$(printf '%s\n' "$differences" | grep -c '^DIFF' || true)
[ "$faults" -eq 0 ] || fail "$faults difference(s) between the trees that the build does not explain"
# Both carried the payload given: the archive each wrote is that payload byte for byte.
cmp -s "$native_root/drive_c/Vendora/Vendora.FCC" "$payload" || fail "the native INSTALL does not carry $payload"
cmp -s "$WINEPREFIX/drive_c/Vendora/Vendora.FCC" "$payload" || fail "INSTALL.EXE does not carry $payload"
[ "$(wc -l <"$out/native-tree.txt")" -ge 16 ] || fail "the native build wrote only $(wc -l <"$out/native-tree.txt") files and folders"

# The shortcuts through the shell: both files copied to plain names in the prefix, read by one program.
native_link=$(find "$native_desktop_host" -maxdepth 1 -name '*.lnk' | head -n 1)
wine_link=$(find "$wine_desktop" -maxdepth 1 -name '*.lnk' | head -n 1)
if [ "$wine_desktop" != "$HOME/Desktop" ] && [ -n "$(find "$HOME/Desktop" -maxdepth 1 -name '*.lnk')" ]; then
    fail "a shortcut went to the user's former desktop $HOME/Desktop instead of $wine_desktop"
fi
if [ -z "$native_link" ] || [ -z "$wine_link" ]; then
    fail "a shortcut is missing: native '${native_link}', wine '${wine_link}'"
else
    mkdir -p "$WINEPREFIX/drive_c/cross"
    cp "$native_link" "$WINEPREFIX/drive_c/cross/native.lnk"
    cp "$wine_link" "$WINEPREFIX/drive_c/cross/wine.lnk"
    in_wine_locale "$source/scripts/wine-run" "$fields_program" 'C:\cross\native.lnk' 'C:\cross\wine.lnk' \
        >"$out/shortcut-fields.txt" 2>&1 || fail "the shell did not read both shortcuts: $(cat "$out/shortcut-fields.txt")"
    tr -d '\r' <"$out/shortcut-fields.txt" >"$out/shortcut-fields.utf8"
    echo "== the shortcuts through IShellLinkW"
    cat "$out/shortcut-fields.utf8"
    code_page=$(sed -n 's/^code page: //p' "$out/shortcut-fields.utf8")
    if [ -n "${VENDORA_WINE_CODE_PAGE:-}" ] && [ "$code_page" != "$VENDORA_WINE_CODE_PAGE" ]; then
        fail "the Windows programs ran in code page ${code_page:-?}, not $VENDORA_WINE_CODE_PAGE (locale ${VENDORA_WINE_LOCALE:-unset})"
    fi
    native_fields=$(sed -n 's/^C:\\cross\\native\.lnk: //p' "$out/shortcut-fields.utf8")
    wine_fields=$(sed -n 's/^C:\\cross\\wine\.lnk: //p' "$out/shortcut-fields.utf8")
    [ "$(printf '%s\n' "$native_fields" | wc -l)" -eq 7 ] || fail "the shell gave $(printf '%s\n' "$native_fields" | wc -l) fields of the native shortcut, expected 7"
    if [ "$native_fields" != "$wine_fields" ]; then
        fail "the shortcuts read differently through the shell:
$(diff <(echo "$native_fields") <(echo "$wine_fields") | sed -n 's/^</  native:/p; s/^>/  wine:  /p')"
    fi
    # The fields the sequence gives, whatever both builds agree on.
    for field in 'path: c:\Vendora\Vendora.EXE' 'working folder: c:\Vendora' \
        'description: Vendora est une application réalisée avec Quillbox © Morvanel'; do
        printf '%s\n' "$wine_fields" | grep -qxF "$field" || fail "the shortcut does not read \"$field\""
    done
    # Wine's shell link answers SW_SHOWNORMAL whatever the file holds: the show command is also read from
    # the files themselves (the header's ShowCommand, offset 60).
    native_show=$(od -An -t u4 -j 60 -N 4 "$native_link" | tr -d ' ')
    wine_show=$(od -An -t u4 -j 60 -N 4 "$wine_link" | tr -d ' ')
    echo "show command in the files: native $native_show, wine $wine_show"
    [ "$native_show" = "$wine_show" ] || fail "show command $native_show in the native shortcut, $wine_show in Wine's"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; lists in $out" >&2
    exit 1
fi
echo "same disk from both builds: all checks passed; lists in $out"
