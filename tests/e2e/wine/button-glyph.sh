#!/usr/bin/env bash
# A glyph on a button: Oui.BMP in the installer's current folder (a 16 x 16 bitmap, a blue square on white,
# the white of its bottom-left pixel drawn transparent) puts its picture on the "Oui" button of the opening
# question, left of the caption; "Non" has none. The question is then refused with Escape.
#
#   button-glyph.sh INSTALL.EXE PAYLOAD WORK FIXTURES
#
# Pictures in WORK/wine-snapshots/button-glyph/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
scenario_start button-glyph "$@"
prepare_run
convert -size 16x16 xc:white -fill 'rgb(0,128,255)' -draw 'rectangle 2,2 13,13' -type TrueColor \
    "BMP3:$run/cwd/Oui.BMP"

start_installer
question=$(wait_window '^Installation de Vendora\.exe') || die "the opening question did not appear$(installer_said)"
window_picture "$question" opening-question
picture=$snapshots/opening-question.png
read -r width height < <(window_size "$question")
row=$((height - 37))

# Pixels of the glyph's blue in a rectangle of the picture (W H X Y).
blue_in() {
    convert "$picture" -crop "$1x$2+$3+$4" +repage -depth 8 txt:- | grep -ci '#0080FF' || true
}
on_oui=$(blue_in 135 27 20 "$row")
on_non=$(blue_in 135 27 160 "$row")
everywhere=$(blue_in "$width" "$height" 0 0)
[ "$on_oui" = 144 ] || fail "the Oui button shows $on_oui pixels of the glyph's blue, expected its 12 x 12 square"
[ "$on_non" = 0 ] || fail "the Non button shows $on_non pixels of the glyph's blue, expected none"
[ "$everywhere" = "$on_oui" ] || fail "the glyph's blue shows outside the Oui button ($everywhere pixels in all)"
# Left of the caption: the square's right edge before the first dark pixel of the underlined "Oui".
square_right=$(convert "$picture" -crop "135x27+20+$row" +repage -depth 8 txt:- |
    awk -F'[,:]' 'tolower($0) ~ /#0080ff/ && $1 + 0 > m + 0 { m = $1 } END { print m + 0 }')
# The caption's black, inside the button's frame (whose bottom and right lines are black too).
caption_left=$(convert "$picture" -crop "131x21+22+$((row + 2))" +repage -depth 8 txt:- |
    awk -F'[,: ]+' '/#000000/ && (m == "" || $1 + 0 < m + 0) { m = $1 } END { print m + 2 }')
[ "$square_right" -lt "$caption_left" ] ||
    fail "the glyph (right edge at x $square_right) is not left of the caption (from x $caption_left)"

answer "$question" Escape
wait_installer
[ "$status" -eq 0 ] || fail "exit code $status after Escape, expected 0$(installer_said)"
[ ! -e "$WINEPREFIX/drive_c/Vendora" ] || fail "C:\\Vendora was created although the question was refused"

finish_scenario "glyph on the Oui button"
