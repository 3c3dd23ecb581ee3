#!/usr/bin/env bash
# vendora-pixel-diff on pictures made for the purpose: text differences are told from the rest, a
# difference outside text fails, and a window taller by its text's lines is compared on its bottom band
# only when asked, and only when the widths agree.
#
#   pixel-diff-test.sh PIXEL_DIFF
set -euo pipefail
diff_tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
expect() {
    local want=$1 what=$2 status=0
    shift 2
    "$diff_tool" "$@" >"$dir/out.txt" 2>&1 || status=$?
    if [ "$status" -ne "$want" ]; then
        echo "FAIL: $what: exit code $status, expected $want: $(cat "$dir/out.txt")" >&2
        failures=$((failures + 1))
    fi
}
# A window: white, a grey button with its dark edge 30 rows above the bottom, black text at the top.
window() {
    local out=$1 height=$2 text=$3
    shift 3
    convert -size "100x$height" xc:white -fill '#ECE9D8' -stroke '#716F64' \
        -draw "rectangle 10,$((height - 30)) 60,$((height - 10))" -stroke none -fill black \
        -draw "$text" "$@" "PNG24:$out"
}
window "$dir/native.png" 60 'rectangle 5,5 9,14'
window "$dir/same.png" 60 'rectangle 5,5 9,14'
window "$dir/text.png" 60 'rectangle 6,5 11,14'
window "$dir/frame.png" 60 'rectangle 5,5 9,14' -fill '#716F64' -draw 'point 80,50'
window "$dir/taller.png" 76 'rectangle 5,5 9,30'
window "$dir/taller-frame.png" 76 'rectangle 5,5 9,30' -fill '#716F64' -draw 'point 80,70'
convert -size 104x76 xc:white "PNG24:$dir/wider.png"

expect 0 "identical pictures" "$dir/native.png" "$dir/same.png"
expect 0 "text drawn otherwise" "$dir/native.png" "$dir/text.png"
expect 1 "a pixel of the frame" "$dir/native.png" "$dir/frame.png"
grep -q 'first difference outside text at (80, 50)' "$dir/out.txt" ||
    { echo "FAIL: the frame's pixel is not named: $(cat "$dir/out.txt")" >&2; failures=$((failures + 1)); }
expect 1 "taller without --bottom" "$dir/native.png" "$dir/taller.png"
expect 0 "taller by its text, buttons on the bottoms" "$dir/native.png" "$dir/taller.png" --bottom 35
expect 1 "taller, a pixel of the bottom band" "$dir/native.png" "$dir/taller-frame.png" --bottom 35
expect 1 "taller, the band too small for the buttons" "$dir/native.png" "$dir/taller.png" --bottom 20
expect 1 "wider" "$dir/native.png" "$dir/wider.png" --bottom 35
expect 2 "a missing picture" "$dir/native.png" "$dir/absent.png"
expect 2 "a bad band" "$dir/native.png" "$dir/same.png" --bottom -3

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "vendora-pixel-diff: all checks passed"
