#!/usr/bin/env bash
# An install on a Russian Windows (the locale ru_RU.UTF-8, whose ANSI code page Wine makes 1251), where
# every name the system hands over or takes back may hold letters that Windows-1252 lacks: the installer is
# started from Z:\…\Загрузки, in the current folder Z:\…\Рабочая папка, with the target D:\Касса on its
# command line, over a previous install in C:\Vendora (as install-other-drive.sh: the update question, then
# an install on D:). The entries reach D:\Касса under their own names ("Règlements.QXF", not
# "Rиglements.QXF"), the installer copies itself from its Cyrillic folder, the windows' titles read in
# French, and the application started at the end (answer "o") gets D:\Касса as its argument, which it reads
# in 1251: the record holds that argument only where the code page really is 1251.
#
#   install-foreign-names.sh INSTALL.EXE PAYLOAD WORK FIXTURES
#
# Pictures in WORK/wine-snapshots/install-foreign-names/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
scenario_start install-foreign-names "$@"
# After lib.sh, which sets its own locale: Wine takes the code page from this one.
export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
prepare_run
VENDORA_STANDIN_LOG=$(windows_path "$run/standin.log")
export VENDORA_STANDIN_LOG
vendora=$WINEPREFIX/drive_c/Vendora
previous_install "$fixtures/demo-entries/vendora.exe"
drive=$run/d-drive
mkdir -p "$drive" "$run/Загрузки" "$run/Рабочая папка"
ln -sfn "$drive" "$WINEPREFIX/dosdevices/d:"
cp "$exe" "$run/Загрузки/INSTALL.EXE"
# The programs start in run/cwd (lib.sh): here a link to the Cyrillic folder, which the system resolves.
rmdir "$run/cwd"
ln -s "$run/Рабочая папка" "$run/cwd"

start_installer "$run/Загрузки/INSTALL.EXE" -- 'D:\Касса'
first=$(wait_window '^Mise à jour de Vendora\.exe © morvanel$') ||
    die "no update question titled in French$(installer_said)"
window_picture "$first" 1-update-question
answer "$first" Return
final=$(wait_final_question '^Installation de Vendora\.exe © morvanel$' "$vendora/Vendora.EXE") ||
    die "no install-complete question titled in French$(installer_said)"
window_picture "$final" 2-final
answer "$final" o
wait_installer
[ "$status" -eq 0 ] || fail "exit code $status, expected 0$(installer_said)"
wineserver -w

[ "$(cd "$drive" && find . -mindepth 1 -maxdepth 1 -printf '%P\n')" = Касса ] ||
    fail "D: holds: $(cd "$drive" && find . -mindepth 1 -maxdepth 1 -printf '%P ')"
expected=$( (cd "$fixtures/demo-entries" && ls; echo Vendora.FCC) | LC_ALL=C sort)
actual=$(cd "$drive/Касса" 2>/dev/null && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "D:\\Касса holds:
$actual
expected:
$expected"
for entry in "$fixtures/demo-entries"/*; do
    cmp -s "$entry" "$drive/Касса/$(basename "$entry")" || fail "D:\\Касса\\$(basename "$entry") differs from the payload's"
done
cmp -s "$(find_ci "$vendora" install.exe)" "$exe" || fail "c:\\Vendora\\install.exe is not the installer"
[ -f "$HOME/Desktop/Vendora © Morvanel.lnk" ] || fail "no shortcut \"Vendora © Morvanel.lnk\" on the desktop"

# The stand-in writes what it got in the code page it runs in.
if [ -s "$run/standin.log" ]; then
    iconv -f CP1251 -t UTF-8 "$run/standin.log" >"$run/standin.utf8" || fail "the record is not in code page 1251"
    check_standin_record "$run/standin.utf8" 'D:\Касса'
else
    fail "the application did not say that it started"
fi

finish_scenario "install on a Russian Windows, from and to Cyrillic folders"
