#!/usr/bin/env bash
# Creates the trust check's test material in BIN_DIR/trust-files: two test roots and a root that is never
# installed, publishers under them, and copies of a payload executable and of the provider module signed
# (or not, or modified after signing) with osslsigncode. Also signs the trust test executable itself with
# the product's test publisher, so that it can stand for a signed host.
#   usage: sign-test-files.sh BIN_DIR PAYLOAD_EXE PROVIDER_DLL TEST_EXE
set -euo pipefail
bin_dir="$1"
payload="$2"
provider="$3"
test_exe="$4"
out="$bin_dir/trust-files"
work="$out/pki"
rm -rf "$out"
mkdir -p "$work"

pki_dir="$work" cer_dir="$out"
source "$(dirname "${BASH_SOURCE[0]}")/../../install/wine/test-pki.sh"

sign_with_root() {  # publisher, its root, input, output: the root travels inside the signature
    cat "$work/$1.pem" "$work/$2.pem" > "$work/$1-chain.pem"
    osslsigncode sign -certs "$work/$1-chain.pem" -key "$work/$1.key" -h sha256 -n "Halvex" \
        -in "$3" -out "$4" >/dev/null
}

# Changes one byte of the DOS stub text, which the signature's image hash covers.
tamper() {
    printf 'X' | dd of="$1" bs=1 seek=$((0x50)) conv=notrunc status=none
}

make_root root "Halvex Test Root"
make_root impostor-root "Halvex Impostor Root"
make_root stranger-root "Halvex Stranger Root"
make_publisher product "Corvani Test Publisher" root
make_publisher other "Other Test Publisher" root
make_publisher impostor "Corvani Test Publisher" impostor-root
make_publisher stranger "Corvani Test Publisher" stranger-root

sign product "$payload" "$out/host-signed.exe"
sign product "$provider" "$out/provider-signed.dll"
sign product "$payload" "$out/ui-signed.exe"
sign other "$payload" "$out/ui-other.exe"
sign impostor "$payload" "$out/ui-impostor.exe"
sign stranger "$provider" "$out/provider-stranger.dll"
sign stranger "$payload" "$out/ui-stranger.exe"
sign stranger "$payload" "$out/host-stranger.exe"
sign_with_root stranger stranger-root "$provider" "$out/provider-stranger-full.dll"
sign_with_root stranger stranger-root "$payload" "$out/ui-stranger-full.exe"
cp "$payload" "$out/unsigned.exe"
cp "$provider" "$out/provider-unsigned.dll"
sign product "$payload" "$out/ui-tampered.exe"
tamper "$out/ui-tampered.exe"
sign product "$provider" "$out/provider-tampered.dll"
tamper "$out/provider-tampered.dll"

# The test executable itself, signed in place (any earlier signature removed first).
if osslsigncode remove-signature -in "$test_exe" -out "$work/test-unsigned.exe" >/dev/null 2>&1; then
    cp "$work/test-unsigned.exe" "$test_exe"
fi
sign product "$test_exe" "$work/test-signed.exe"
cp "$work/test-signed.exe" "$test_exe"
rm -rf "$work"
