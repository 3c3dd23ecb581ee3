# Shared by the Wine benchmarks (sourced: tests/e2e/wine/startup-time.sh, bench/wine/): a fresh prefix and
# HOME for one run, windows found by title on the private X server, keys, pictures and times, as the
# scenarios' WineMachine (tests/e2e/WineMachine.h) does in C++. The caller sets source (the repository),
# work (the build folder that keeps the base prefix) and snapshots (where pictures go), and the variable
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

# Makes run (a new folder beside the base prefix) with run/prefix, the run's own copy of the base prefix
# (scripts/wine-prefix-copy, its desktop in run/home), run/home as HOME and run/cwd; exports WINEPREFIX and
# HOME; removes it all at exit.
prepare_run() {
    mkdir -p "$work/wine-runs"
    run=$(mktemp -d "$work/wine-runs/XXXXXX")
    trap cleanup_run EXIT
    "$source/scripts/wine-prefix-copy" --home "$run/home" "$work/wine-base" "$run/prefix" ||
        die "no Wine prefix for the run"
    export WINEPREFIX=$run/prefix
    export HOME=$run/home
    mkdir -p "$run/cwd"
}

cleanup_run() {
    if [ -n "${installer:-}" ] && kill -0 "$installer" 2>/dev/null; then
        kill "$installer" 2>/dev/null || true
    fi
    WINEPREFIX=$run/prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$run/prefix wineserver -w 2>/dev/null || true
    rm -rf "$run"
}

# The Windows path of a host path, through Wine's Z: drive.
windows_path() {
  local path=$1
  echo "Z:${path//\//\\}"
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

