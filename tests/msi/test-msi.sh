#!/usr/bin/env bash
# The Windows Installer package: its tables, a silent install into the Wine prefix with the provider then
# created through COM from System32, a clean uninstall, the major upgrade from an older package (one
# product left, an older package refused afterwards, the Disabled value kept or cleared), and signing.
#   usage: test-msi.sh MSI BIN_DIR REPO_ROOT      (in the test environment: WINEPREFIX set, wineserver up)
# The build's own registration (build/bin) is removed for the run and put back at the end.
set -u
msi="$1"; bin_dir="$2"; root="$3"
: "${WINEPREFIX:?run inside the test environment}"
work="$bin_dir/msi-test"
system32="$WINEPREFIX/drive_c/windows/system32"
source "$bin_dir/product.sh" # the module list and the class id, from the build
class_key="HKLM\\SOFTWARE\\Classes\\CLSID\\$clsid"
provider_key="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Authentication\\Credential Providers\\$clsid"
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
check() { local what="$1"; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
same() { [ "$1" = "$2" ] || { echo "  got '$1', expected '$2'"; return 1; }; }

rm -rf "$work"
mkdir -p "$work"
win() { winepath -w "$1" 2>/dev/null; }

# ---- the package's tables -------------------------------------------------------------------------------
table() { msiinfo export "$msi" "$1" | tail -n +4 | tr -d '\r'; }
resource_version() { x86_64-w64-mingw32-strings -el "$1" | grep -A1 -x FileVersion | tail -n 1; }
product_version="$(resource_version "$bin_dir/${modules[0]}")"

check "ProductVersion is the provider's file version $product_version" \
    same "$(table Property | awk -F'\t' '$1 == "ProductVersion" {print $2}')" "$product_version"
check "fixed UpgradeCode, per-machine" same "$(table Property | awk -F'\t' '$1 == "UpgradeCode" || $1 == "ALLUSERS" {print $2}' | sort | xargs)" \
    "1 {FB5EA332-027D-4756-8F22-F312E13B33AC}"
suminfo="$(msiinfo suminfo "$msi")"
check "x64 package" grep -qx 'Template: x64;1033' <<<"$suminfo"
# Word count 2: compressed, and bit 8 ("no elevation needed") clear.
check "elevated install declared (word count 2, Privileged launch condition)" \
    bash -c 'grep -qx "Source: 2 (2)" <<<"$1" && grep -q "^Privileged	" <<<"$2"' _ "$suminfo" "$(table LaunchCondition)"
files="$(table File)"
for module in "${modules[@]}"; do
    check "file $module, version $(resource_version "$bin_dir/$module")" \
        grep -qP "\t\Q$module\E\t[0-9]+\t\Q$(resource_version "$bin_dir/$module")\E\t" <<<"$files"
done
check "five files, all in the 64-bit System32 components" \
    same "$(table Component | awk -F'\t' '$3 == "System64Folder" && $4 % 512 >= 256 {n++} END {print n}')" 6
check "Disabled value only when asked for or kept" \
    grep -qP '^DisabledSetting\t.*\tDISABLED = "1" OR' <<<"$(table Component)"

# Every value of Register.reg is a registry row (the module path resolved by the installer).
registry="$(table Registry | awk -F'\t' '$2 == 2 {sub(/\\$/, "", $3); print $3 "|" $4 "|" $5}')"
key=""
while IFS= read -r line; do
    line="${line%$'\r'}"
    case "$line" in
        '[HKEY_LOCAL_MACHINE\'*']') key="${line#\[HKEY_LOCAL_MACHINE\\}"; key="${key%]}" ;;
        '@='* | '"'*)
            name=""; [[ "$line" == '"'* ]] && { name="${line#\"}"; name="${name%%\"=*}"; }
            value="${line#*=\"}"; value="${value%\"}"
            [[ "$value" == *'\\Corvani.Halvex.CredentialProvider.dll' ]] && value='[#ProviderDll]'
            check "registry row $key|$name|$value" grep -qxF "$key|$name|$value" <<<"$registry" ;;
    esac
done <"$root/install/windows/Register.reg"
check "class key and provider key removed whole on uninstall" \
    same "$(grep -c '|\*|$' <<<"$registry")" 2

# ---- signing --------------------------------------------------------------------------------------------
pki="$work/pki"
mkdir -p "$pki"
printf 'msi-test-passphrase\n' >"$pki/pass"
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 -subj "/CN=Halvex MSI Test Root" \
    -keyout "$pki/root.key" -out "$pki/root.pem" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -new -newkey rsa:2048 -sha256 -subj "/CN=Corvani Test Publisher/O=Corvani Test" \
    -passout file:"$pki/pass" -keyout "$pki/publisher.key" -out "$pki/publisher.csr" 2>/dev/null
printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" "extendedKeyUsage=codeSigning" \
    >"$pki/publisher.ext"
openssl x509 -req -in "$pki/publisher.csr" -CA "$pki/root.pem" -CAkey "$pki/root.key" -CAcreateserial \
    -days 30 -sha256 -extfile "$pki/publisher.ext" -out "$pki/publisher.pem" 2>/dev/null
check "signed package built with a passphrase-protected key" \
    bash "$root/install/build-msi.sh" "$bin_dir" "$work/signed.msi" --sign-cert "$pki/publisher.pem" \
    --sign-key "$pki/publisher.key" --sign-pass-file "$pki/pass"
check "its signature verifies against the test root" \
    bash -c 'osslsigncode verify -CAfile "$1" -in "$2" >/dev/null' _ "$pki/root.pem" "$work/signed.msi"
check "the signed package keeps its tables" \
    same "$(msiinfo export "$work/signed.msi" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductVersion" {print $2}')" \
    "$product_version"
check "the unsigned package does not verify" bash -c '! osslsigncode verify -CAfile "$1" -in "$2" >/dev/null 2>&1' _ \
    "$pki/root.pem" "$msi"

# ---- Wine: install, COM activation from System32, uninstall ------------------------------------------------
"$root/install/wine/unregister.sh"
trap '"$root/install/wine/register.sh" "$bin_dir"' EXIT

msiexec() {  # msiexec ACTION PACKAGE [PROPERTY=VALUE...]: silent, logged into the work folder
    local action="$1" package="$2"; shift 2
    wine msiexec "$action" "$(win "$package")" /qn /l*v "$(win "$work")\\msiexec-$((++msiexec_runs)).log" "$@" \
        >/dev/null 2>&1
}
msiexec_runs=0
reg_value() {  # reg_value KEY NAME (empty NAME: the default value); fails when absent
    local args=(/ve) out
    [ -z "$2" ] || args=(/v "$2")
    out="$(wine reg query "$1" "${args[@]}" 2>/dev/null)" || return 1
    tr -d '\r' <<<"$out" | sed -nE 's/^ {4}.+ {4}REG_[A-Z_]+ {4}(.*)$/\1/p'
}
key_absent() { ! wine reg query "$1" >/dev/null 2>&1; }
enabled() { wine reg query "$provider_key" >/dev/null 2>&1 && ! reg_value "$provider_key" Disabled >/dev/null; }
installed_versions() {  # one line per installed product of this name, its version
    wine reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | awk '
        /^HKEY_/ { if (ours) print version; ours = 0; version = ""; next }
        /^ +DisplayName +REG_SZ +Halvex credential provider$/ { ours = 1 }
        /^ +DisplayVersion +REG_SZ / { version = $3 }
        END { if (ours) print version }' | xargs
}
product_codes() {  # the product codes of every installed product of this name
    wine reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | awk '
        /^HKEY_/ { key = $0; sub(/.*\\/, "", key); next }
        /^ +DisplayName +REG_SZ +Halvex credential provider$/ { print key }'
}
files_installed() { for m in "${modules[@]}"; do cmp -s "$bin_dir/$m" "$system32/$m" || return 1; done; }
files_removed() { for m in "${modules[@]}"; do [ ! -e "$system32/$m" ] || return 1; done; }
nothing_left() {
    [ -z "$(installed_versions)" ] && files_removed && key_absent "$class_key" && key_absent "$provider_key"
}
host() { wine "$bin_dir/hxhost.exe" --scenario unlock --lang 1033 --verbose 2>&1 | tr -d '\r'; }

# What an interrupted earlier run left installed goes first.
for code in $(product_codes); do wine msiexec /x "$code" /qn >/dev/null 2>&1; done
check "without a registration the class is not registered" grep -q 'ICredentialProvider -> 0x80040154' <<<"$(host)"

check "msiexec /i /qn succeeds" msiexec /i "$msi"
check "five files in system32" files_installed
check "InprocServer32 is the installed module" \
    same "$(reg_value "$class_key\\InprocServer32" "" | tr 'A-Z' 'a-z')" 'c:\windows\system32\corvani.halvex.credentialprovider.dll'
check "ThreadingModel Apartment" same "$(reg_value "$class_key\\InprocServer32" ThreadingModel)" Apartment
check "Credential Providers entry" same "$(reg_value "$provider_key" "")" Corvani.Halvex.CredentialProvider
check "installed enabled" enabled
check "one product, version $product_version" same "$(installed_versions)" "$product_version"
output="$(host)"
check "the host creates the provider and its tile from the installed modules" \
    bash -c 'grep -q "\"Sign in with your face\"" <<<"$1" && grep -q "bitmap 128 x 128" <<<"$1" &&
             grep -q "Provider released" <<<"$1" && ! grep -q -- "-> 0x[89A-F]" <<<"$1"' _ "$output"

# A value added after installation (as Disable.ps1 does) goes with the key.
wine reg add "$provider_key" /v Disabled /t REG_DWORD /d 1 /f >/dev/null 2>&1
check "msiexec /x /qn succeeds" msiexec /x "$msi"
check "files removed" files_removed
check "class key removed" key_absent "$class_key"
check "Credential Providers entry removed, also a value added later" key_absent "$provider_key"
check "no product left" same "$(installed_versions)" ""

# ---- upgrade from an older package ---------------------------------------------------------------------
bash "$root/install/build-msi.sh" "$bin_dir" "$work/older.msi" --version 0.9.0.0 >/dev/null
check "older package installs with DISABLED=1" msiexec /i "$work/older.msi" DISABLED=1
check "installed disabled" same "$(reg_value "$provider_key" Disabled)" 0x1
check "upgrade succeeds" msiexec /i "$msi"
check "one product after the upgrade, version $product_version" same "$(installed_versions)" "$product_version"
check "files after the upgrade" files_installed
check "registration after the upgrade" same "$(reg_value "$provider_key" "")" Corvani.Halvex.CredentialProvider
check "the upgrade keeps the tile disabled" same "$(reg_value "$provider_key" Disabled)" 0x1
refused() { ! msiexec "$@"; }
check "older package refused afterwards" refused /i "$work/older.msi"
check "still one product, version $product_version" same "$(installed_versions)" "$product_version"
check "files kept" files_installed
msiexec /x "$msi"
upgrade_enabling() { msiexec /i "$work/older.msi" DISABLED=1 && msiexec /i "$msi" DISABLED=0; }
check "older package with DISABLED=1, then the upgrade with DISABLED=0" upgrade_enabling
check "DISABLED=0 on the upgrade enables the tile" enabled
msiexec /x "$msi"
check "after the upgrade's uninstall no product, file or key is left" nothing_left

# A rebuild of the same version (the signed package has a product code of its own) replaces the installed
# product instead of joining it.
msiexec /i "$msi"
check "the signed rebuild installs over the same version" msiexec /i "$work/signed.msi"
check "one product after the rebuild" same "$(installed_versions)" "$product_version"
msiexec /x "$work/signed.msi"
check "after its uninstall no product, file or key is left" nothing_left

[ "$failures" -eq 0 ] || { echo "$failures failure(s); msiexec logs in $work"; exit 1; }
echo "MSI package as expected"
