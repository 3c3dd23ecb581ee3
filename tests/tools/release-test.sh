#!/usr/bin/env bash
# scripts/release as a release manager runs it: a folder with a name Windows cannot hold is refused before
# anything is built; a small folder becomes a signed INSTALL.EXE whose resource is that folder packed with
# --best, whose version resource is the version asked, and whose signature osslsigncode accepts (and
# refuses once a byte of the program changes).
# Needs FCC and PE_RESOURCE (the host tools) and VENDORA_RELEASE_BUILD (the Windows build folder to use).
# A first run builds a whole Windows program (about ten minutes on two busy cores), so it runs only with
# VENDORA_RELEASE_TEST=1 and is skipped (exit status 77) otherwise.
set -euo pipefail
if [ "${VENDORA_RELEASE_TEST:-0}" != 1 ]; then
  echo "skipped: set VENDORA_RELEASE_TEST=1 to build and check a release"
  exit 77
fi
: "${FCC:?}" "${PE_RESOURCE:?}" "${VENDORA_RELEASE_BUILD:?}"
release=$(cd "$(dirname "$0")/../.." && pwd)/scripts/release
work=$(mktemp -d "${TMPDIR:-/tmp}/vendora-release-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" || fail "$what"; }

# The application's files, one named in French.
mkdir app
head -c 150000 /dev/urandom >app/vendora.exe
seq 1 20000 >app/StarMath.ttf
printf 'caisse;ticket\n' >"app/Récapitulatif.QXF"
: >app/vide.LP

# A self-signed code-signing certificate with its key, as a PKCS#12 file with a password.
printf 'mot de passe\n' >password.txt
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Vendora release test" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.pfx -passout file:password.txt

echo "== refused before anything is built"
mkdir bad
cp app/vendora.exe bad/
: >bad/AUX.txt
status=0
VENDORA_RELEASE_BUILD=$work/never-built "$release" bad --version 1.0.0.0 -o dist-bad >out.txt 2>err.txt || status=$?
check "a name Windows cannot hold fails the release (status $status)" [ "$status" -ne 0 ]
check "the refusal names AUX.txt: $(cat err.txt)" grep -q '"AUX.txt"' err.txt
check "no Windows build was started" [ ! -e never-built ]
check "no output folder" [ ! -e dist-bad ]
for args in "app --version 1.2.3" "app --version 1.2.3.65536" "app --version 1.0.0.0 --sign cert.pfx" "--version 1.0.0.0"; do
  status=0
  # shellcheck disable=SC2086 # the words are the arguments
  VENDORA_RELEASE_BUILD=$work/never-built "$release" $args -o dist-bad >/dev/null 2>&1 || status=$?
  check "usage error for: $args (status $status)" [ "$status" -eq 2 ]
done
check "still nothing built" [ ! -e never-built ]

echo "== a signed release"
started=$(date +%s)
"$release" app --version 2.3.4.5 --sign cert.pfx --password-file password.txt -o dist >release.txt ||
  { cat release.txt; echo "FAIL: the release failed" >&2; exit 1; }
echo "the release took $(($(date +%s) - started)) s"
check "the release prints where INSTALL.EXE is" grep -q "$work/dist/INSTALL.EXE: version 2.3.4.5" release.txt
check "the release names the signer" grep -q "signed by .*Vendora release test" release.txt
check "the checksum matches" sh -c 'cd dist && sha256sum -c --quiet INSTALL.EXE.sha256'

"$PE_RESOURCE" dist/INSTALL.EXE fcc resource.FCC
"$FCC" pack app -o expected.FCC --best >/dev/null
check "the resource FCC/1 is the folder packed with --best" cmp resource.FCC expected.FCC
"$FCC" list resource.FCC >listing.txt
check "payload.txt lists the resource" cmp listing.txt dist/payload.txt
check "the listing names the French entry" grep -q "Récapitulatif.QXF" dist/payload.txt
"$FCC" extract resource.FCC -C back >/dev/null
check "the resource extracts to the folder" diff -r app back
check "the version resource says 2.3.4.5" [ "$("$PE_RESOURCE" dist/INSTALL.EXE version)" = 2.3.4.5 ]

check "osslsigncode accepts the signature" \
  osslsigncode verify -in dist/INSTALL.EXE -CAfile cert.pem -ignore-cdp >verify.txt 2>&1
# One byte of the payload changed: the signature no longer holds.
cp dist/INSTALL.EXE tampered.exe
pattern=$(head -c 12 resource.FCC | od -An -tx1 | tr -d '\n' | sed 's/ /\\x/g')
offset=$(LC_ALL=C grep -obUaP "$pattern" tampered.exe | head -1 | cut -d: -f1 || true)
if [ -n "$offset" ]; then
  printf '\x55' | dd of=tampered.exe bs=1 seek=$((offset + 40)) conv=notrunc status=none
  if osslsigncode verify -in tampered.exe -CAfile cert.pem -ignore-cdp >/dev/null 2>&1; then
    fail "a changed program still verifies"
  fi
else
  fail "the payload's bytes were not found in the program"
fi

echo "== the same release unsigned, built again elsewhere and without the compiler cache"
VENDORA_RELEASE_BUILD=$work/second-build CCACHE_DISABLE=1 "$release" app --version 2.3.4.5 -o dist-unsigned \
  >release-unsigned.txt || { cat release-unsigned.txt; echo "FAIL: the unsigned release failed" >&2; exit 1; }
signed_build=$(sed 's/ .*//' dist/INSTALL.EXE.unsigned.sha256)
check "the second build gives the same bytes as the first before signing ($signed_build)" \
  [ "$(sha256sum <dist-unsigned/INSTALL.EXE | sed 's/ .*//')" = "$signed_build" ]
check "the unsigned release records the same hash" cmp dist/INSTALL.EXE.unsigned.sha256 dist-unsigned/INSTALL.EXE.unsigned.sha256
# What anyone can do with a signed release: take the signature away and compare with a build of the sources.
osslsigncode remove-signature -in dist/INSTALL.EXE -out stripped.exe >/dev/null
check "the signed program less its signature is the unsigned build" cmp stripped.exe dist-unsigned/INSTALL.EXE
check "the unsigned release says so" grep -q "not signed" release-unsigned.txt
if osslsigncode verify -in dist-unsigned/INSTALL.EXE -CAfile cert.pem >/dev/null 2>&1; then
  fail "an unsigned program verifies"
fi
"$PE_RESOURCE" dist-unsigned/INSTALL.EXE fcc resource-unsigned.FCC
check "the unsigned program carries the same payload" cmp resource-unsigned.FCC expected.FCC

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "release test passed"
