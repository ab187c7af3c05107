#!/usr/bin/env bash
# Lays out what LogonUI would find on a machine with the product installed, signed the way the trust
# check wants it: the provider, the four resource modules, the UI application (stand-in) and the host
# executables, all signed by one test publisher whose root goes into the prefix's machine Root store.
# Register the provider from there with register.sh OUT_DIR.
#   usage: sign-layout.sh BIN_DIR OUT_DIR [EXTRA_EXE...]
set -euo pipefail
bin_dir="$(cd "$1" && pwd)"
out="$2"
shift 2
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${WINEPREFIX:?set WINEPREFIX}"
modules=(Corvani.Halvex.CredentialProvider.dll Corvani.Halvex.CP.Core.Localization.dll
         Corvani.Halvex.CP.Affiliate.Localization.dll Corvani.Halvex.CP.Core.Resources.dll
         Corvani.Halvex.CP.Affiliate.Resources.dll)

pki="$out/pki"
mkdir -p "$pki"
if [ ! -f "$pki/publisher.pem" ]; then
    openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650 -subj "/CN=Halvex Layout Test Root" \
        -keyout "$pki/root.key" -out "$pki/root.pem" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
    openssl x509 -in "$pki/root.pem" -outform DER -out "$pki/root.cer"
    openssl req -new -newkey rsa:2048 -nodes -sha256 -subj "/CN=Corvani Test Publisher/O=Corvani Test" \
        -keyout "$pki/publisher.key" -out "$pki/publisher.csr" 2>/dev/null
    printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" \
        "extendedKeyUsage=codeSigning" > "$pki/publisher.ext"
    openssl x509 -req -in "$pki/publisher.csr" -CA "$pki/root.pem" -CAkey "$pki/root.key" -CAcreateserial \
        -days 1825 -sha256 -extfile "$pki/publisher.ext" -out "$pki/publisher.pem" 2>/dev/null
fi

sign_into() {  # source file, target directory
    local target="$2/$(basename "$1")"
    rm -f "$target"
    osslsigncode sign -certs "$pki/publisher.pem" -key "$pki/publisher.key" -h sha256 -n "Halvex" \
        -in "$1" -out "$target" >/dev/null
}

for file in "${modules[@]}" Corvani.Halvex.UI.exe hxhost.exe "$@"; do
    sign_into "$bin_dir/$file" "$out"
done
# Unsigned helpers the walk-through starts beside the host.
for file in hxservice.exe credential_filler.exe hxsvcctl.exe; do
    [ -f "$bin_dir/$file" ] && cp "$bin_dir/$file" "$out/"
done

wine "$bin_dir/hxroot.exe" add "$(winepath -w "$pki/root.cer")"
