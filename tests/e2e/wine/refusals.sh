#!/usr/bin/env bash
# The opening question refused three ways, as a person would: the letter "n" ("Non"), Escape, and the
# window's close button. Three runs of INSTALL.EXE in one fresh prefix, one Wine server for all: each must
# end at once with exit code 0, its window gone, and nothing written on the prefix's drive or in HOME.
#
#   refusals.sh INSTALL.EXE PAYLOAD WORK FIXTURES
#
# Pictures in WORK/wine-snapshots/refusals/. Exit code 0 when every run is as it should be.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
scenario_start refusals "$@"
prepare_run
# One server for the three runs: each start after the first is then as quick as on Windows.
wineserver -p

title='^Installation de Vendora\.exe'
before=$(disk_state "$WINEPREFIX/drive_c" "$HOME")
for way in n Escape close; do
    start_installer
    id=$(wait_window "$title") || die "$way: the opening question did not appear$(installer_said)"
    window_picture "$id" "opening-question-$way"
    case $way in
    close) close_button "$id" || die "close: the window does not take the close request" ;;
    *) answer "$id" "$way" ;;
    esac
    wait_installer
    [ "$status" -eq 0 ] || fail "$way: exit code $status, expected 0$(installer_said)"
    [ -z "$(visible "$title")" ] || fail "$way: the opening question is still shown after the run"
    after=$(disk_state "$WINEPREFIX/drive_c" "$HOME")
    if [ "$after" != "$before" ]; then
        fail "$way: the run wrote:
$(diff <(echo "$before") <(echo "$after") | grep '^[<>]')"
        before=$after
    fi
done

finish_scenario "refusals under Wine (n, Escape, close button)"
