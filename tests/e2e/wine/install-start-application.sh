#!/usr/bin/env bash
# An install whose final question is answered "Oui" with the mouse: the application (the stand-in
# vendora.exe) starts in c:\Vendora with the installer's own argument, as its record says. The argument
# holds no colon, so the target stays C:\Vendora.
#
#   install-start-application.sh INSTALL.EXE PAYLOAD WORK FIXTURES
#
# Pictures in WORK/wine-snapshots/install-start-application/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
scenario_start install-start-application "$@"
prepare_run
VENDORA_STANDIN_LOG=$(windows_path "$run/standin.log")
export VENDORA_STANDIN_LOG

argument=caisse-2
title='^Installation de Vendora\.exe'
start_installer -- "$argument"
first=$(wait_window "$title") || die "the opening question did not appear$(installer_said)"
answer "$first" Return
vendora=$WINEPREFIX/drive_c/Vendora
final=$(wait_final_question "$title" "$vendora/Vendora.EXE") || die "no final question$(installer_said)"
window_picture "$final" final-question
click_button "$final" 1
wait_installer
[ "$status" -eq 0 ] || fail "exit code $status, expected 0$(installer_said)"

# The application runs on after the installer; every program of the prefix has ended with its server.
wineserver -w
check_standin_record "$run/standin.log" "$argument"
[ "$(grep -c '^Vendora started' "$run/standin.log" 2>/dev/null)" = 1 ] ||
    fail "the application was not started exactly once: $(cat -v "$run/standin.log" 2>/dev/null)"
cmp -s "$(find_ci "$vendora" vendora.exe)" "$fixtures/demo-entries/vendora.exe" ||
    fail "C:\\Vendora\\Vendora.EXE is not the payload's executable"
check_stamp "$(find_ci "$vendora" vendora.exe)" write

finish_scenario "install, then Oui: the application started"
