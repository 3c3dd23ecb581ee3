#!/usr/bin/env bash
# INSTALL.EXE is one file that runs on any Windows: a windowed (GUI subsystem) program importing only
# DLLs that every Windows has, nothing of the compiler's runtime or of zlib. Two are not among them, so
# that the program starts sooner, and without the imaging component where Windows lacks it: it loads
# windowscodecs.dll when it first decodes a picture, and binds shell32.dll at its first ShellExecuteW.
#   check-imports.sh OBJDUMP INSTALL.EXE
set -euo pipefail
objdump=$1
exe=$2
allowed="advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll user32.dll"
headers=$("$objdump" -p "$exe")
status=0
while read -r dll; do
    case " $allowed " in
    *" $dll "*) ;;
    *)
        echo "FAIL: $exe imports $dll" >&2
        status=1
        ;;
    esac
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')
if ! grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers"; then
    echo "FAIL: $exe is not a windowed (GUI subsystem) program" >&2
    status=1
fi
if ! grep -q 'DLL Name' <<<"$headers"; then
    echo "FAIL: no import table read from $exe" >&2
    status=1
fi
exit $status
