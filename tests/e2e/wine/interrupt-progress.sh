#!/usr/bin/env bash
# "Interrompre" clicked on the real progress window. The installer carries 314 entries, so that its
# progress window stays up while they are written. Once the window is on screen the installer is paused
# (SIGSTOP) and the test checks that enough entries are left, clicks "Interrompre" and lets it go on: the
# click is handled at the next entry, and before the one after it the "Interruption Interdite" report
# comes up, once; it is answered "Ok" with the mouse, the extraction goes on, every entry is written.
# The pause makes the test independent of the machine's speed: the click cannot come too late unhandled.
#
#   interrupt-progress.sh INSTALL.EXE PAYLOAD WORK FIXTURES
#
# Runs FIXTURES/INSTALL-many.EXE (its entries in FIXTURES/many-entries); pictures in
# WORK/wine-snapshots/interrupt-progress/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
scenario_start interrupt-progress "$@"
many_exe=$fixtures/INSTALL-many.EXE
entries=$fixtures/many-entries
[ -f "$many_exe" ] && [ -d "$entries" ] || die "no $many_exe or $entries: build the target vendora_wine_scenario_fixtures"
count=$(find "$entries" -type f | wc -l)
prepare_run
vendora=$WINEPREFIX/drive_c/Vendora

# Entries of the payload written so far.
written() {
    comm -12 <(cd "$entries" && ls | LC_ALL=C sort) <(cd "$vendora" 2>/dev/null && ls | LC_ALL=C sort) | wc -l
}

title='^Installation de Vendora\.exe'
start_installer "$many_exe"
question=$(wait_window "$title") || die "the opening question did not appear$(installer_said)"
answer "$question" Return

progress=$(wait_window '^D.+concat.+nation de') || die "no progress window$(installer_said)"
# Pictured before the pause: a paused program paints nothing.
window_picture "$progress" 1-progress --live
kill -STOP "$installer"
paused_at=$(written)
echo "progress window seen after $paused_at of $count entries"
if [ "$paused_at" -ge $((count - 2)) ]; then
    kill -CONT "$installer"
    die "the split had written $paused_at of $count entries when its window was seen: too few entries left for the click to be reported"
fi
# "Interrompre": 158 x 29 at (394, 106) of the client area.
click "$progress" $((394 + 79)) $((106 + 14))
kill -CONT "$installer"

report=$(wait_window '^Interruption Interdite') || die "no \"Interruption Interdite\" report after Interrompre$(installer_said)"
reported_at=$(written)
window_picture "$report" 2-interruption-report
window_picture "$progress" 3-progress-during-report --live
echo "report shown after $reported_at entries"
[ "$reported_at" -ge "$paused_at" ] && [ "$reported_at" -le $((paused_at + 2)) ] ||
    fail "the report came after entry $reported_at, expected within two entries of the click (after $paused_at)"
click_button "$report" 1
wait_no_window '^Interruption Interdite' || die "the report stayed after Ok"

# The extraction goes on to the final question without a second report.
deadline=$(($(date +%s) + 300))
while :; do
    if [ -n "$(visible '^Interruption Interdite')" ]; then
        fail "the \"Interruption Interdite\" report came a second time, after $(written) entries"
        answer "$(visible '^Interruption Interdite' | head -n 1)" Return
        wait_no_window '^Interruption Interdite' || die "the second report stayed after Ok"
    fi
    installed=$(find_ci "$vendora" vendora.exe)
    if [ -n "$installed" ] && [ "$(stat -c %Y "$installed")" = 1275490069 ] && [ -n "$(visible "$title")" ]; then
        break
    fi
    kill -0 "$installer" 2>/dev/null || die "the installer ended before the final question$(installer_said)"
    [ "$(date +%s)" -lt "$deadline" ] || die "no final question within 300 s"
    sleep 0.02
done
answer "$(visible "$title" | head -n 1)" n
wait_installer
[ "$status" -eq 0 ] || fail "exit code $status, expected 0$(installer_said)"

# Every entry, whole, and nothing else but the archive and the installer's copy.
differences=$(diff -r -x Vendora.FCC -x install.exe "$entries" "$vendora" 2>&1 | head -n 20) ||
    fail "C:\\Vendora differs from the payload's entries:
$differences"
cmp -s "$vendora/Vendora.FCC" "$fixtures/many.FCC" || fail "Vendora.FCC is not the payload byte for byte"

finish_scenario "Interrompre on the progress window"
