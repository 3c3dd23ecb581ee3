#!/usr/bin/env bash
# An update while the application runs. A previous install is in the prefix, with an older stand-in as
# C:\Vendora\Vendora.EXE, started with --stay so that it holds its executable as the running application
# does. INSTALL.EXE asks the update question, answered with the letter "o"; the waiting window
# "Installateur de Vendora.EXE © Morvanel" comes up (pink, its text centred); its close button only hides
# it; once the application ends (the test ends its process, as a person quits it) the update goes on by
# itself: the entries in C:\Vendora\MAJ, the old executable kept as ex_Vendora.EXE, the new one in place
# with its time stamp. The final question is answered with Escape; exit code 0.
#
#   update-while-running.sh INSTALL.EXE PAYLOAD WORK FIXTURES
#
# Pictures in WORK/wine-snapshots/update-while-running/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
scenario_start update-while-running "$@"
prepare_run
VENDORA_STANDIN_LOG=$(windows_path "$run/standin.log")
export VENDORA_STANDIN_LOG
vendora=$WINEPREFIX/drive_c/Vendora
old=$run/old-vendora.exe
make_old_standin "$old"
previous_install "$old"

# The application, running; the installer starts only once it holds its executable, as Windows judges.
launch "$vendora/vendora.exe" --stay 3600
application=$launched
launch "$fixtures/wait-held.exe" 'C:\Vendora\Vendora.EXE' 120
wait "$launched" || die "the running application does not hold its executable: $(cat "$run/wait-held.exe.err")"

start_installer
question=$(wait_window '^Mise .+ jour de Vendora\.exe') || die "no update question$(installer_said)"
window_picture "$question" 1-update-question
answer "$question" o

waiting_title='^Installateur de Vendora\.EXE'
waiting=$(wait_window "$waiting_title") || die "no waiting window while the application runs$(installer_said)"
window_picture "$waiting" 2-waiting-window
picture=$snapshots/2-waiting-window.png
read -r width height < <(window_size "$waiting")
[ "$width $height" = "502 304" ] || fail "the waiting window's client area is ${width}x$height, expected 502x304"
for corner in "2 2" "$((width - 3)) 2" "2 $((height - 3))" "$((width - 3)) $((height - 3))"; do
    # shellcheck disable=SC2086
    colour=$(pixel "$picture" $corner)
    [ "$colour" = 255,187,192 ] || fail "the waiting window's background at ($corner) is $colour, expected 255,187,192"
done
# The text: the box around every pixel not of the background, centred across the window; its block,
# which begins with an empty line, centred in the area above the 16-pixel bottom strip.
read -r left top ink_width ink_height <<<"$(convert "$picture" -fuzz 0 -trim -format '%X %Y %w %h' info: | tr -d +)"
echo "waiting window's text: ${ink_width}x$ink_height at ($left, $top)"
[ $((2 * left + ink_width - width)) -ge -2 ] && [ $((2 * left + ink_width - width)) -le 2 ] ||
    fail "the waiting window's text is not centred across it: ${ink_width} wide at x $left in $width"
[ "$ink_height" -gt 13 ] || fail "the waiting window shows no text (ink ${ink_width}x$ink_height)"
middle=$((top + ink_height / 2))
[ "$middle" -ge 120 ] && [ "$middle" -le 170 ] ||
    fail "the waiting window's text is not in the middle of its height: centre at y $middle of $height"

# The close button hides the window and nothing else: the installer still waits, nothing is extracted.
close_button "$waiting" || die "the waiting window does not take the close request"
wait_no_window "$waiting_title" || fail "the close button did not hide the waiting window"
xwininfo -id "$waiting" >/dev/null 2>&1 || fail "the close button destroyed the waiting window instead of hiding it"
kill -0 "$installer" 2>/dev/null || die "the installer ended when its waiting window was closed$(installer_said)"
majfiles=$(cd "$vendora/MAJ" && ls)
[ "$majfiles" = Vendora.FCC ] || fail "while the application runs, MAJ holds: $majfiles"
cmp -s "$(find_ci "$vendora" vendora.exe)" "$old" || fail "Vendora.EXE changed while the application ran"

# The application ends; the update goes on by itself.
kill "$application"
wait "$application" 2>/dev/null || true
final=$(wait_final_question '^Mise .+ jour Vendora\.exe' "$vendora/Vendora.EXE") ||
    die "no update-complete question after the application ended$(installer_said)"
window_picture "$final" 3-update-complete
[ -z "$(visible "$waiting_title")" ] || fail "the waiting window came back"
answer "$final" Escape
wait_installer
[ "$status" -eq 0 ] || fail "exit code $status, expected 0$(installer_said)"

# The disk.
expected=$( (cd "$fixtures/demo-entries" && ls; echo Vendora.FCC) | LC_ALL=C sort)
actual=$(cd "$vendora/MAJ" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "C:\\Vendora\\MAJ holds:
$actual
expected:
$expected"
for entry in "$fixtures/demo-entries"/*; do
    cmp -s "$entry" "$vendora/MAJ/$(basename "$entry")" || fail "MAJ\\$(basename "$entry") differs from the payload's"
done
cmp -s "$vendora/MAJ/Vendora.FCC" "$payload" || fail "MAJ\\Vendora.FCC is not the payload byte for byte"
backup=$(find_ci "$vendora" ex_Vendora.EXE)
if [ -z "$backup" ]; then
    fail "no ex_Vendora.EXE in C:\\Vendora"
else
    cmp -s "$backup" "$old" || fail "ex_Vendora.EXE is not the old executable"
fi
installed=$(find_ci "$vendora" vendora.exe)
# The times first: reading the file moves its access time on.
check_stamp "$installed"
cmp -s "$installed" "$fixtures/demo-entries/vendora.exe" || fail "C:\\Vendora\\Vendora.EXE is not the new executable"
cmp -s "$(find_ci "$vendora" install.exe)" "$exe" || fail "c:\\Vendora\\install.exe is not the installer"
top=$(cd "$vendora" && find . -mindepth 1 -maxdepth 1 -printf '%P\n' | LC_ALL=C sort)
top_expected=$( (cd "$fixtures/demo-entries" && ls; echo MAJ; echo install.exe; basename "$backup") | LC_ALL=C sort)
[ "$top" = "$top_expected" ] || fail "C:\\Vendora holds:
$top
expected:
$top_expected"

# Escape started nothing: the only record is the application's own start with --stay.
wineserver -w
[ "$(grep -c '^Vendora started' "$run/standin.log")" = 1 ] ||
    fail "the application was started again: $(cat -v "$run/standin.log")"

finish_scenario "update while the application runs"
