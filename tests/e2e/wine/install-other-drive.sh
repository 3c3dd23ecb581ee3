#!/usr/bin/env bash
# A target on another drive: D: is a folder of the test, mapped in the prefix's dosdevices, and the
# installer is given D:\Caisse. A previous install is in C:\Vendora, so the update question is asked, but
# D:\Caisse can be created, so the run installs there: the archive and the entries go to D:\Caisse
# (no MAJ), while every fixed path stays on C: (the installer's copy and the time stamp in C:\Vendora, the
# font, the shortcut). The final question is answered "o" and the application of C:\Vendora starts in
# c:\Vendora with D:\Caisse as its argument.
#
#   install-other-drive.sh INSTALL.EXE PAYLOAD WORK FIXTURES
#
# Pictures in WORK/wine-snapshots/install-other-drive/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
scenario_start install-other-drive "$@"
prepare_run
VENDORA_STANDIN_LOG=$(windows_path "$run/standin.log")
export VENDORA_STANDIN_LOG
vendora=$WINEPREFIX/drive_c/Vendora
old=$run/old-vendora.exe
make_old_standin "$old"
previous_install "$old"
drive=$run/d-drive
mkdir -p "$drive"
ln -sfn "$drive" "$WINEPREFIX/dosdevices/d:"
before_fonts=$(disk_state "$WINEPREFIX/drive_c/windows/Fonts")

start_installer -- 'D:\Caisse'
question=$(wait_window '^Mise .+ jour de Vendora\.exe') || die "no update question$(installer_said)"
window_picture "$question" 1-update-question
answer "$question" Return
final=$(wait_final_question '^Installation de Vendora\.exe' "$vendora/Vendora.EXE") ||
    die "no install-complete question$(installer_said)"
window_picture "$final" 2-install-complete
answer "$final" o
wait_installer
[ "$status" -eq 0 ] || fail "exit code $status, expected 0$(installer_said)"
wineserver -w

# D: holds the target and nothing else; the target the archive and the entries.
[ "$(cd "$drive" && find . -mindepth 1 -maxdepth 1 -printf '%P\n')" = Caisse ] ||
    fail "D: holds: $(cd "$drive" && find . -mindepth 1 -maxdepth 1 -printf '%P ')"
expected=$( (cd "$fixtures/demo-entries" && ls; echo Vendora.FCC) | LC_ALL=C sort)
actual=$(cd "$drive/Caisse" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "D:\\Caisse holds:
$actual
expected:
$expected"
for entry in "$fixtures/demo-entries"/*; do
    cmp -s "$entry" "$drive/Caisse/$(basename "$entry")" || fail "D:\\Caisse\\$(basename "$entry") differs from the payload's"
done
cmp -s "$drive/Caisse/Vendora.FCC" "$payload" || fail "D:\\Caisse\\Vendora.FCC is not the payload byte for byte"

# C:\Vendora: the previous install, the installer's copy, the stamp on the executable there (the old one,
# which has been started since: its write time), nothing of the archive.
installed=$(find_ci "$vendora" vendora.exe)
check_stamp "$installed" write
cmp -s "$installed" "$old" || fail "C:\\Vendora\\Vendora.EXE changed; only its times should have"
cmp -s "$(find_ci "$vendora" install.exe)" "$exe" || fail "c:\\Vendora\\install.exe is not the installer"
top=$(cd "$vendora" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort)
top_expected=$( (cd "$fixtures/demo-entries" && ls; echo install.exe) | LC_ALL=C sort)
[ "$top" = "$top_expected" ] || fail "C:\\Vendora holds:
$top
expected:
$top_expected"
[ "$(disk_state "$WINEPREFIX/drive_c/windows/Fonts")" = "$before_fonts" ] ||
    fail "the fonts folder changed although it held the font"
[ -f "$HOME/Desktop/Vendora © Morvanel.lnk" ] || fail "no shortcut on the C: desktop"
grep -aqi 'c:\\Vendora\\Vendora.EXE' "$HOME/Desktop/Vendora © Morvanel.lnk" 2>/dev/null ||
    fail "the shortcut does not name c:\\Vendora\\Vendora.EXE"

check_standin_record "$run/standin.log" 'D:\Caisse'

finish_scenario "install on D:"
