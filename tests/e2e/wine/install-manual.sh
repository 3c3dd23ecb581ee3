#!/usr/bin/env bash
# The manual: an installer whose payload holds Vendora.PDF, in a prefix where .pdf documents are
# associated with a recording test program through a default verb of their own ("lire", there is no
# "open"). After the install the manual is opened with the default verb, its working folder c:\Vendora,
# shown normally; the final question is answered "n", so nothing else starts.
#
#   install-manual.sh INSTALL.EXE PAYLOAD WORK FIXTURES
#
# Runs FIXTURES/INSTALL-manual.EXE (payload FIXTURES/manual.FCC); pictures in
# WORK/wine-snapshots/install-manual/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
scenario_start install-manual "$@"
manual_exe=$fixtures/INSTALL-manual.EXE
[ -f "$manual_exe" ] || die "no $manual_exe: build the target vendora_wine_scenario_fixtures"
prepare_run
VENDORA_STANDIN_LOG=$(windows_path "$run/standin.log")
VENDORA_RECORDER_LOG=$(windows_path "$run/recorder.log")
export VENDORA_STANDIN_LOG VENDORA_RECORDER_LOG

recorder=$(windows_path "$fixtures/open-recorder.exe")
recorder=${recorder//\\/\\\\}
cat >"$run/keys.reg" <<KEYS
[Software\\\\Classes\\\\.pdf] 1700000000
@="VendoraTest.Manuel"

[Software\\\\Classes\\\\VendoraTest.Manuel\\\\shell] 1700000000
@="lire"

[Software\\\\Classes\\\\VendoraTest.Manuel\\\\shell\\\\lire\\\\command] 1700000000
@="\\"$recorder\\" lire \\"%1\\""
KEYS
add_machine_keys "$run/keys.reg"

title='^Installation de Vendora\.exe'
start_installer "$manual_exe"
question=$(wait_window "$title") || die "the opening question did not appear$(installer_said)"
answer "$question" Return
vendora=$WINEPREFIX/drive_c/Vendora
final=$(wait_final_question "$title" "$vendora/Vendora.EXE") || die "no final question$(installer_said)"
window_picture "$final" install-complete
answer "$final" n
wait_installer
[ "$status" -eq 0 ] || fail "exit code $status, expected 0$(installer_said)"
wineserver -w

manual=$(find_ci "$vendora" Vendora.PDF)
[ -n "$manual" ] && [ "$(head -c 5 "$manual")" = %PDF- ] || fail "no manual Vendora.PDF in C:\\Vendora"
record=$run/recorder.log
if [ ! -s "$record" ]; then
    fail "the manual was not opened: the recording program has no record"
else
    [ "$(grep -c '^Command line:' "$record")" = 1 ] || fail "the manual was opened more than once: $(cat -v "$record")"
    grep -qi '^Command line: .* lire "c:\\Vendora\\Vendora\.PDF"'$'\r' "$record" ||
        fail "the manual was not opened with the default verb on c:\\Vendora\\Vendora.PDF: $(cat -v "$record")"
    grep -qix 'Working folder: c:\\Vendora'$'\r' "$record" ||
        fail "the manual's program did not start in c:\\Vendora: $(cat -v "$record")"
    grep -qx 'Show: 1'$'\r' "$record" || fail "the manual's program was not shown normally (SW_SHOWNORMAL): $(cat -v "$record")"
fi
[ ! -e "$run/standin.log" ] || fail "the application was started after Non: $(cat -v "$run/standin.log")"

finish_scenario "install with the manual"
