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
source "$bin_dir/product.sh" # the module list and the class id, from the build

pki_dir="$out/pki" cer_dir="$out/pki"
source "$here/test-pki.sh"
mkdir -p "$pki_dir"
if [ ! -f "$pki_dir/publisher.pem" ]; then
    make_root root "Halvex Layout Test Root"
    make_publisher publisher "Corvani Test Publisher" root
fi

sign_into() {  # source file, target directory
    rm -f "$2/$(basename "$1")"
    sign publisher "$1" "$2/$(basename "$1")"
}

for file in "${modules[@]}" Corvani.Halvex.UI.exe hxhost.exe "$@"; do
    sign_into "$bin_dir/$file" "$out"
done
# Unsigned helpers the walk-through and the tests start beside the host.
for file in hxservice.exe credential_filler.exe hxsvcctl.exe hx_pipe_peer.exe; do
    [ -f "$bin_dir/$file" ] && cp "$bin_dir/$file" "$out/"
done

wine "$bin_dir/hxroot.exe" add "$(winepath -w "$pki_dir/root.cer")"
