# shellcheck shell=bash disable=SC2154,SC2034
# Shared by the cross-check scripts (sourced after tests/e2e/wine/lib.sh and prepare_run): one install by
# the native INSTALL in a fresh emulated machine, headless, and one by INSTALL.EXE under Wine, driven with
# keys; both answer "Oui" to the opening question and "Non" to the final one. Each leaves its machine, a
# marker file made just before the run (files whose change time is later were written by the run), the
# list of what existed before, and a picture of each message window.
#
#   native_install NATIVE_INSTALL   sets native_root, native_desktop; pictures in $run/pictures/native/
#   wine_install INSTALL.EXE        the prefix of prepare_run; pictures in $run/pictures/wine/
#
# Pictures are named 1-opening and 2-final.
#
# With VENDORA_WINE_LOCALE set (ru_RU.UTF-8, pl_PL.UTF-8...) the Windows programs run in that locale, whose
# code page Wine makes the system's ANSI code page; foreign_desktop then gives the prefix's user a desktop
# whose path holds letters Windows-1252 lacks, and sets wine_desktop to the host folder where the shortcut
# is due.

# Runs a command under VENDORA_WINE_LOCALE, or as it is without one.
in_wine_locale() {
    if [ -n "${VENDORA_WINE_LOCALE:-}" ]; then
        LANG=$VENDORA_WINE_LOCALE LC_ALL=$VENDORA_WINE_LOCALE "$@"
    else
        "$@"
    fi
}

# The desktop of a user named with Cyrillic letters, as on a Russian Windows: "C:\users\Иван\Desktop"
# (a link to the host folder HOME/Рабочий стол). Wine derives the "Shell Folders" value that the installer
# reads from "User Shell Folders" when it starts: both are set in the prefix's user.reg while no Wine
# server runs, as Wine's registry files write the path (doubled backslashes, \x and the UTF-16 code of a
# character beyond ASCII).
foreign_desktop() {
    wine_desktop="$HOME/Рабочий стол"
    mkdir -p "$wine_desktop" "$WINEPREFIX/drive_c/users/Иван"
    ln -sfn "$wine_desktop" "$WINEPREFIX/drive_c/users/Иван/Desktop"
    wineserver -w
    DESKTOP='C:\\users\\\x0418\x0432\x0430\x043d\\Desktop' awk '
        /^\[/ { folders = index($0, "\\\\Explorer\\\\Shell Folders]") || index($0, "\\\\Explorer\\\\User Shell Folders]") }
        folders && /^"Desktop"=/ {
            $0 = "\"Desktop\"=" (index($0, "str(2):") ? "str(2):" : "") "\"" ENVIRON["DESKTOP"] "\""
            set++
        }
        { print }
        END { exit set != 2 }' "$WINEPREFIX/user.reg" >"$run/user.reg" ||
        die "the prefix's user.reg has no desktop folder values to point at C:\\users\\Иван\\Desktop"
    mv "$run/user.reg" "$WINEPREFIX/user.reg"
}

# The machine is prepared by a first run refused at once (it makes the registry file and the desktop),
# so that the install's own writes stand alone.
native_install() {
    local program=$1
    native_root=$run/native
    mkdir -p "$native_root/drive_c/Windows/Fonts" "$run/pictures/native" "$run/native-shots"
    printf 'key Escape\n' >"$run/native-refuse.ui"
    env -u DISPLAY VENDORA_ROOT="$native_root" VENDORA_UI_SCRIPT="$run/native-refuse.ui" \
        VENDORA_UI_TRANSCRIPT="$run/native-refuse.txt" "$program" >/dev/null 2>&1 ||
        die "the native INSTALL did not start ($(cat "$run/native-refuse.txt" 2>/dev/null))"
    native_desktop=$(find "$native_root/drive_c/Users" -mindepth 2 -maxdepth 2 -type d -name Desktop | head -n 1)
    [ -n "$native_desktop" ] || die "the emulated machine has no desktop folder"

    (cd "$native_root/drive_c" && find . -mindepth 1 -printf '%P\n') >"$run/native.before"
    touch "$run/native.marker"
    native_started=$(date +%s)
    printf 'key Return\nchar n\n' >"$run/native.ui"
    local status=0
    (cd "$run/cwd" && env -u DISPLAY VENDORA_ROOT="$native_root" VENDORA_UI_SCRIPT="$run/native.ui" \
        VENDORA_UI_TRANSCRIPT="$run/native-transcript.txt" VENDORA_UI_SNAPSHOTS="$run/native-shots" \
        VENDORA_SHELL_LOG="$run/native-shell.log" "$program" >"$run/native-out.txt" 2>&1) || status=$?
    [ "$status" -eq 0 ] || die "the native INSTALL ended with exit code $status: $(cat "$run/native-out.txt")"
    # The message window's pictures, taken each time it waits for an answer.
    local shots
    mapfile -t shots < <(find "$run/native-shots" -name '*-modal-*.png' | LC_ALL=C sort)
    [ "${#shots[@]}" -eq 2 ] || die "the native run pictured ${#shots[@]} questions, expected 2"
    cp "${shots[0]}" "$run/pictures/native/1-opening.png"
    cp "${shots[1]}" "$run/pictures/native/2-final.png"
}

wine_install() {
    local exe=$1 title='^Installation de Vendora\.exe'
    mkdir -p "$run/pictures/wine"
    wineserver -w
    (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 -printf '%P\n') >"$run/wine.before"
    touch "$run/wine.marker"
    wine_started=$(date +%s)
    cd "$run/cwd" || die "no folder $run/cwd"
    in_wine_locale "$source/scripts/wine-run" "$exe" >"$run/wine-stdout.txt" 2>"$run/wine-stderr.txt" &
    installer=$!
    local first final=
    first=$(wait_window "$title") || die "the opening question did not appear under Wine"
    settled_picture "$first" "$run/pictures/wine/1-opening.png" || die "no picture of the opening question"
    answer "$first" Return
    local deadline=$(($(date +%s) + 300))
    while :; do
        if [ -f "$WINEPREFIX/drive_c/Vendora/vendora.exe" ] &&
            [ "$(stat -c %Y "$WINEPREFIX/drive_c/Vendora/vendora.exe")" = 1275490069 ]; then
            final=$(visible "$title" | head -n 1)
            [ -n "$final" ] && break
        fi
        kill -0 "$installer" 2>/dev/null || die "INSTALL.EXE ended before the final question"
        [ "$(date +%s)" -lt "$deadline" ] || die "no final question under Wine within 300 s"
        sleep 0.02
    done
    settled_picture "$final" "$run/pictures/wine/2-final.png" || die "no picture of the final question"
    answer "$final" n
    local status=0
    wait "$installer" || status=$?
    installer=
    wineserver -w
    [ "$status" -eq 0 ] || die "INSTALL.EXE ended with exit code $status: $(cat "$run/wine-stderr.txt")"
}

# The system colours of the native build's machine (Windows XP's defaults) in this run's prefix, whose own
# scheme differs (its button face is #F5F5F5, XP's #ECE9D8): pictures are compared between machines set
# up alike. Values by GetSysColor index, 0 to 30, under their registry names.
xp_colours() {
    local reg=$WINEPREFIX/drive_c/xp-colours.reg
    cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Colors]
"Scrollbar"="212 208 200"
"Background"="0 78 152"
"ActiveTitle"="0 84 227"
"InactiveTitle"="122 150 223"
"Menu"="255 255 255"
"Window"="255 255 255"
"WindowFrame"="0 0 0"
"MenuText"="0 0 0"
"WindowText"="0 0 0"
"TitleText"="255 255 255"
"ActiveBorder"="212 208 200"
"InactiveBorder"="212 208 200"
"AppWorkspace"="128 128 128"
"Hilight"="49 106 197"
"HilightText"="255 255 255"
"ButtonFace"="236 233 216"
"ButtonShadow"="172 168 153"
"GrayText"="172 168 153"
"ButtonText"="0 0 0"
"InactiveTitleText"="216 228 248"
"ButtonHilight"="255 255 255"
"ButtonDkShadow"="113 111 100"
"ButtonLight"="241 239 226"
"InfoText"="0 0 0"
"InfoWindow"="255 255 225"
"ButtonAlternateFace"="181 181 181"
"HotTrackingColor"="0 0 128"
"GradientActiveTitle"="61 149 255"
"GradientInactiveTitle"="157 185 235"
"MenuHilight"="49 106 197"
"MenuBar"="236 233 216"
REG
    wine regedit /S 'C:\xp-colours.reg' >/dev/null 2>&1 || die "the XP colours could not be set in the prefix"
    wineserver -w
    rm -f "$reg"
}
