# Shared by the Wine end-to-end scripts (sourced): a fresh prefix and HOME for one run, windows found by
# title on the private X server, keys, pictures and times. The caller sets source (the repository), work
# (the build folder that keeps the base prefix) and snapshots (where pictures go), and the variable
# installer to the pid of the program under test once started.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8
export TZ=UTC

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
die() {
    echo "FAIL: $*" >&2
    exit 1
}

# Makes run (a new folder) with run/prefix, a copy of the base prefix that scripts/wine-prefix makes once
# per build folder (about 14 s), run/home as HOME and run/cwd; exports WINEPREFIX and HOME; removes it all
# at exit.
prepare_run() {
    local base
    base=$(realpath -m "$work/wine-base")
    # The lock keeps two runs from making the base prefix at once.
    exec 8>"$work/wine-base.lock"
    flock 8
    # Made once per build folder, and anew whenever Wine changed since (--cache).
    mkdir -p "$work/wine-base-home"
    HOME=$work/wine-base-home "$source/scripts/wine-prefix" --cache "$base" || die "no Wine prefix to copy"
    WINEPREFIX=$base wineserver -w
    run=$(mktemp -d "${TMPDIR:-/tmp}/vendora-wine.XXXXXX")
    cp -a "$base" "$run/prefix"
    flock -u 8

    export WINEPREFIX=$run/prefix
    export HOME=$run/home
    mkdir -p "$HOME/Desktop" "$run/cwd"
    trap cleanup_run EXIT

    # The desktop and the other shell folders of the prefix's user are links into the HOME of whoever
    # made the prefix: this run's go into its own HOME, so the shortcut lands where the test looks, and
    # nowhere else.
    local user_dir link
    user_dir=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
    [ -n "$user_dir" ] || die "the prefix has no user folder"
    for link in "$user_dir"/*; do
        if [ -L "$link" ]; then
            ln -sfn "$HOME" "$link"
        fi
    done
    ln -sfn "$HOME/Desktop" "$user_dir/Desktop"
}

cleanup_run() {
    if [ -n "${installer:-}" ] && kill -0 "$installer" 2>/dev/null; then
        kill "$installer" 2>/dev/null || true
    fi
    WINEPREFIX=$run/prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$run/prefix wineserver -w 2>/dev/null || true
    rm -rf "$run"
}

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

# Visible windows whose title matches (xdotool matches titles in UTF-8), one id a line.
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }

# Waits until a visible window's title matches; prints its id. Fails when the installer ends first, or
# after the given seconds (180 by default: Wine's first start on a busy machine is slow).
wait_window() {
    local pattern=$1 deadline=$(($(date +%s) + ${2:-180})) id
    while :; do
        id=$(visible "$pattern" | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        if ! kill -0 "$installer" 2>/dev/null; then
            echo "the program ended without a window titled like $pattern" >&2
            return 1
        fi
        if [ "$(date +%s)" -ge "$deadline" ]; then
            echo "no window titled like $pattern within ${2:-180} s; $(screen_said)" >&2
            return 1
        fi
        sleep 0.02
    done
}

# What the X server shows, for a failure's message: the top-level windows with their titles and whether
# they are mapped, and a picture of the whole screen in the snapshots folder.
screen_said() {
    local tree picture=${snapshots:-${TMPDIR:-/tmp}}/screen-at-failure.png
    tree=$(xwininfo -root -children 2>&1 | sed -n 's/^ *\(0x[0-9a-f]*\) \("[^"]*"\|(has no name)\).*/\1 \2/p' |
        while read -r id name; do
            printf '%s %s %s; ' "$id" "$name" "$(xwininfo -id "$id" 2>/dev/null | sed -n 's/^ *Map State: //p')"
        done)
    xwd -root -silent 2>/dev/null | convert xwd:- "png:$picture" 2>/dev/null || picture="(no picture)"
    echo "the screen holds: ${tree:-no window (is the X server up?)}; picture $picture"
}

# The whole screen: without a window manager the windows are the client areas alone.
snapshot() {
    xwd -root -silent | convert xwd:- "png:$snapshots/$1.png"
}

answer() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id"
    xdotool key --clearmodifiers "$@"
}

# ---- The other scenarios of a person's run (each script calls scenario_start first). ----

# scenario_start NAME "$@": the script's own command line is INSTALL.EXE PAYLOAD WORK FIXTURES (FIXTURES:
# the folder of test programs and payloads the build makes beside this script's CMakeLists). Outside a
# private X server it starts one and runs the script again inside it. Inside, it sets exe, payload, work,
# fixtures and snapshots (WORK/wine-snapshots/NAME, emptied of older pictures).
scenario_start() {
    local name=$1 script=$0 tool
    shift
    if [ "${1:-}" != "--inside" ]; then
        if [ $# -ne 4 ]; then
            echo "usage: $script INSTALL.EXE PAYLOAD WORK FIXTURES" >&2
            exit 2
        fi
        for tool in Xvfb xdotool xwd convert wineserver; do
            command -v "$tool" >/dev/null || {
                echo "$script: $tool is missing (scripts/setup installs it)" >&2
                exit 2
            }
        done
        exec "$source/scripts/with-xvfb" "$script" --inside "$(realpath "$1")" "$(realpath "$2")" \
            "$(realpath -m "$3")" "$(realpath "$4")"
    fi
    exe=$2
    payload=$3
    work=$4
    fixtures=$5
    # A program that crashes ends instead of waiting in Wine's debugger: the test sees it end.
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winedbg.exe=d"
    snapshots=$work/wine-snapshots/$name
    mkdir -p "$snapshots"
    rm -f "$snapshots"/*.png
}

# The Windows name of a host path (Wine's Z: is the host's root).
windows_path() {
    local path=$1
    echo "Z:${path//\//\\}"
}

# launch PROGRAM [ARGUMENT...]: starts a Windows program of the prefix from run/cwd, its output in
# run/PROGRAM-NAME.out and .err; sets launched to its pid.
launch() {
    local program=$1 name
    shift
    name=$(basename "$program")
    (cd "$run/cwd" && exec "$source/scripts/wine-run" "$program" "$@") >"$run/$name.out" 2>"$run/$name.err" &
    launched=$!
}

# start_installer [PROGRAM] [-- ARGUMENT...]: starts INSTALL.EXE (or PROGRAM) from run/cwd; sets installer.
start_installer() {
    local program=$exe
    if [ $# -gt 0 ] && [ "$1" != "--" ]; then
        program=$1
        shift
    fi
    [ "${1:-}" != "--" ] || shift
    launch "$program" "$@"
    installer=$launched
    installer_err=$run/$(basename "$program").err
}

# What the installer wrote to its standard error, for a failure's message.
installer_said() {
    [ -s "${installer_err:-/dev/null}" ] && echo " (standard error: $(tr '\n' ' ' <"$installer_err"))"
    return 0
}

# wait_installer: waits for the installer to end; sets status to its exit code.
wait_installer() {
    status=0
    wait "$installer" || status=$?
    installer=
}

# One window alone (its client area, as Wine shows it without a window manager) as NAME.png, once painted
# (settled_picture; --live for a window that keeps changing).
window_picture() {
    settled_picture "$1" "$snapshots/$2.png" "${3:-}"
}

# settled_picture ID FILE [--live]: the window's picture once painted. A window is shown before it paints,
# so it is read again until two readings 0.1 s apart hold the same pixels, and more than one colour (30 s at
# most); with --live (a progress window), the first reading of more than one colour.
settled_picture() {
    local id=$1 file=$2 live=${3:-} reading=$2.reading.xwd previous=$2.previous.xwd
    local deadline=$(($(date +%s) + 30))
    xwd -id "$id" -silent >"$previous" || return 1
    while :; do
        [ -n "$live" ] || sleep 0.1
        xwd -id "$id" -silent >"$reading" || return 1
        if { [ -n "$live" ] || cmp -s "$previous" "$reading"; } &&
            [ "$(convert "xwd:$reading" -format %k info:)" -gt 1 ]; then
            convert "xwd:$reading" "png:$file"
            rm -f "$reading" "$previous"
            return 0
        fi
        if [ "$(date +%s)" -ge "$deadline" ]; then
            rm -f "$reading" "$previous"
            echo "the window $id did not settle into a picture within 30 s" >&2
            return 1
        fi
        mv "$reading" "$previous"
    done
}

# The colour of one pixel of a picture, as "R,G,B" in decimal.
pixel() {
    convert "$1[1x1+$2+$3]" -depth 8 -format '%[fx:round(255*r)],%[fx:round(255*g)],%[fx:round(255*b)]' info:
}

# Width and height of a window, "W H".
window_size() {
    xdotool getwindowgeometry "$1" | awk '/Geometry:/ { split($2, s, "x"); print s[1], s[2] }'
}

# A click of the left button at a point of a window's client area.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# The window's close button, as a window manager passes it on: WM_DELETE_WINDOW (fixtures/close-window).
close_button() {
    "$fixtures/close-window" "$1"
}

# Waits until no visible window's title matches (SECONDS, 60 by default); fails naming it otherwise.
wait_no_window() {
    local pattern=$1 deadline=$(($(date +%s) + ${2:-60}))
    while [ -n "$(visible "$pattern")" ]; do
        if [ "$(date +%s)" -ge "$deadline" ]; then
            echo "a window titled like $pattern is still shown after ${2:-60} s" >&2
            return 1
        fi
        sleep 0.02
    done
}

# Every file and folder under the given folders with its size and last-write time, one a line: two
# listings differ when anything was written.
disk_state() {
    find "$@" -printf '%p %s %T@ %y\n' 2>/dev/null | LC_ALL=C sort
}

# The file of a folder whose name matches, ignoring letter case as Windows does; empty when none.
find_ci() {
    find "$1" -maxdepth 1 -iname "$2" -print -quit 2>/dev/null
}

# A previous install of the demo payload in the prefix, as the first install leaves it: its entries in
# C:\Vendora (the executable replaced by the file given, the release being updated) and the font in the
# fonts folder.
previous_install() {
    local old_exe=$1
    mkdir -p "$WINEPREFIX/drive_c/Vendora"
    cp "$fixtures/demo-entries"/* "$WINEPREFIX/drive_c/Vendora/"
    cp "$old_exe" "$WINEPREFIX/drive_c/Vendora/vendora.exe"
    cp "$fixtures/demo-entries/StarMath.ttf" "$WINEPREFIX/drive_c/windows/Fonts/Starmath.ttf"
}

# An older release of the stand-in: the same program with bytes of its own after the image, which Windows
# ignores, so that the old and new executables differ.
make_old_standin() {
    cp "$fixtures/demo-entries/vendora.exe" "$1"
    printf 'Vendora, previous release\r\n' >>"$1"
}

# Checks a record of the stand-in (its file, the expected argument or "" for none); the working folder
# must be c:\Vendora, in any letter case.
check_standin_record() {
    local record=$1 argument=$2 expected
    if [ ! -s "$record" ]; then
        fail "the application did not say that it started (no record at $record)"
        return
    fi
    if [ -n "$argument" ]; then
        expected="Vendora started with argument \"$argument\""
    else
        expected="Vendora started without argument"
    fi
    grep -qxF "$expected"$'\r' "$record" || fail "the application's record is not \"$expected\": $(cat -v "$record")"
    grep -qix 'Working folder "c:\\Vendora"'$'\r' "$record" ||
        fail "the application did not start in c:\\Vendora: $(cat -v "$record")"
}

# The times of the installed executable as Wine keeps them (write and access; creation is reported as the
# write time): 2010-06-02 14:47:49.5505328 UTC. With "write", the write time alone: a program started
# since has read its executable, which moves the access time on.
check_stamp() {
    local file=$1 format='%y|%x' want='2010-06-02 14:47:49.550532800 +0000' times
    [ "${2:-}" != write ] || format=%y
    times=$(stat -c "$format" "$file")
    [ "$times" = "$want" ] || [ "$times" = "$want|$want" ] ||
        fail "$(basename "$file") times (write|access) are $times, expected $want"
}

finish_scenario() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed; pictures in $snapshots" >&2
        exit 1
    fi
    echo "$1: all checks passed; pictures in $snapshots"
}

# Waits for the question that ends a run: a window titled like TITLE, shown once FILE (the installed
# executable, found whatever its letter case) bears the time stamp that the sequence sets just before it
# asks. The opening question has the same window and title, hence the stamp. Prints the window's id.
wait_final_question() {
    local title=$1 file=$2 deadline=$(($(date +%s) + ${3:-300})) id found
    while :; do
        found=$(find_ci "$(dirname "$file")" "$(basename "$file")")
        if [ -n "$found" ] && [ "$(stat -c %Y "$found")" = 1275490069 ]; then
            id=$(visible "$title" | head -n 1)
            if [ -n "$id" ]; then
                echo "$id"
                return 0
            fi
        fi
        if ! kill -0 "$installer" 2>/dev/null; then
            echo "the installer ended before the final question" >&2
            return 1
        fi
        if [ "$(date +%s)" -ge "$deadline" ]; then
            echo "no final question within ${3:-300} s" >&2
            return 1
        fi
        sleep 0.02
    done
}

# Clicks button N (1, 2...) of the first row of a message window: 135 x 27 each, 140 apart from x 20, their
# top 37 above the bottom of the client area.
click_button() {
    local id=$1 number=$2 width height
    read -r width height < <(window_size "$id")
    click "$id" $((20 + 140 * (number - 1) + 67)) $((height - 37 + 13))
}

# add_machine_keys FILE: adds the keys of FILE (Wine's own registry syntax, names relative to
# HKEY_LOCAL_MACHINE) to the prefix's system.reg while no Wine server runs in it, which Wine reads at its
# next start: no regedit run (a Wine start of its own) for a few keys.
add_machine_keys() {
    wineserver -w
    {
        echo
        cat "$1"
    } >>"$WINEPREFIX/system.reg"
}
