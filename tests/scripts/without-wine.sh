#!/usr/bin/env bash
# A Windows test must fail when Wine runs nothing. Puts on PATH a wine and a wine64 that exit 0 without
# running anything (what Wine's 64-bit loader does with a 32-bit program it cannot load), runs every test of
# a Windows build folder, and checks that every one of them failed; only the tests labelled host-side, which
# read the program's file without running it, may pass. The set-up of the tests' prefix is left out: the
# tests run in the prefix a real run made.
#   tests/scripts/without-wine.sh BUILD_FOLDER
set -euo pipefail
build=$(realpath "${1:?usage: $0 BUILD_FOLDER of a Windows preset}")
work=$(mktemp -d "${TMPDIR:-/tmp}/vendora-without-wine.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
for loader in wine wine64; do
  printf '#!/bin/sh\nexit 0\n' >"$work/bin/$loader"
  chmod +x "$work/bin/$loader"
done

mapfile -t expected < <(ctest --test-dir "$build" -N -LE 'host-side|setup' -FS wine_prefix | sed -n -E 's/^ *Test +#[0-9]+: (.*)$/\1/p')
[ ${#expected[@]} -gt 0 ] || { echo "FAIL: $build holds no Windows test" >&2; exit 1; }
# Nothing a real run left behind is touched: the tests' record of what ran and the scenarios' pictures and
# lists go elsewhere, and the fake loaders make no prefix.
PATH=$work/bin:$PATH VENDORA_TESTS_RAN=$work/ran.txt VENDORA_WINE_RESULTS=$work/results ctest --test-dir "$build" -LE 'host-side|setup' -FS wine_prefix -j 2 \
  --output-junit "$work/results.xml" >"$work/ctest.txt" 2>&1 || true
passed=$(grep -o '<testcase name="[^"]*"[^>]*status="run"' "$work/results.xml" | sed -E 's/<testcase name="([^"]*)".*/\1/' || true)
failed=$(grep -c '<testcase name="[^"]*"[^>]*status="fail"' "$work/results.xml" || true)
if [ -n "$passed" ] || [ "$failed" -ne ${#expected[@]} ]; then
  echo "FAIL: with a wine that runs nothing, $failed of ${#expected[@]} Windows tests failed; these passed:" >&2
  echo "$passed" | sed 's/^/  /' >&2
  tail -n 40 "$work/ctest.txt" >&2
  exit 1
fi
echo "without Wine: all ${#expected[@]} Windows tests failed, as they must"
