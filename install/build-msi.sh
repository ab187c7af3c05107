#!/usr/bin/env bash
# Builds the Windows Installer package of the provider from install/windows/CredentialProvider.wxs with
# wixl, and signs it with osslsigncode when given a certificate.
#   usage: build-msi.sh BIN_DIR OUTPUT.msi [--version A.B.C.D]
#                       [--sign-cert CERT --sign-key KEY [--sign-pass-file FILE]]
# BIN_DIR holds the provider and its four resource modules. The product version is the provider module's
# file version unless --version gives another (the upgrade test builds an older package that way).
# CERT and KEY are PEM or DER files; the key's passphrase, if it has one, is read from FILE, never from
# the command line.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_file="$here/windows/CredentialProvider.wxs"
# The file ids of the .wxs, in the order of the build's module list (BIN_DIR/product.sh).
file_ids=(ProviderDll CoreLocalizationDll AffiliateLocalizationDll CoreResourcesDll AffiliateResourcesDll)

die() { echo "build-msi.sh: $*" >&2; exit 1; }

[ $# -ge 2 ] || die "usage: build-msi.sh BIN_DIR OUTPUT.msi [--version A.B.C.D] [--sign-cert CERT --sign-key KEY [--sign-pass-file FILE]]"
bin_dir="$(cd "$1" && pwd)" || die "no folder $1"
[ -f "$bin_dir/product.sh" ] || die "no $bin_dir/product.sh: build the project first"
source "$bin_dir/product.sh"
class_key="SOFTWARE\\Classes\\CLSID\\$clsid"
provider_key="SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Authentication\\Credential Providers\\$clsid"
output="$2"
shift 2
version="" cert="" key="" pass_file=""
while [ $# -gt 0 ]; do
    case "$1" in
        --version) version="${2:?}"; shift 2 ;;
        --sign-cert) cert="${2:?}"; shift 2 ;;
        --sign-key) key="${2:?}"; shift 2 ;;
        --sign-pass-file) pass_file="${2:?}"; shift 2 ;;
        *) die "unknown option $1" ;;
    esac
done
if [ -n "$cert$key" ]; then
    [ -n "$cert" ] && [ -n "$key" ] || die "signing needs both --sign-cert and --sign-key"
    [ -r "$cert" ] || die "cannot read the certificate $cert"
    [ -r "$key" ] || die "cannot read the key $key"
    [ -z "$pass_file" ] || [ -r "$pass_file" ] || die "cannot read the passphrase file $pass_file"
fi

# The file version of a PE image: the VS_FIXEDFILEINFO of its version resource (signature 0xFEEF04BD,
# then the structure version, then the most and least significant halves of the file version).
file_version() {
    local offset words
    offset="$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$1" | head -n 1 | cut -d: -f1)"
    [ -n "$offset" ] || die "$(basename "$1") has no version resource"
    read -r -a words <<<"$(od -An -tu2 -j $((offset + 8)) -N 8 "$1")"
    echo "${words[1]}.${words[0]}.${words[3]}.${words[2]}"
}

versions=()
for module in "${modules[@]}"; do
    [ -f "$bin_dir/$module" ] || die "missing $bin_dir/$module"
    versions+=("$(file_version "$bin_dir/$module")")
done
version="${version:-${versions[0]}}"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+(\.[0-9]+)?$ ]] || die "not a product version: $version"

mkdir -p "$(dirname "$output")"
work="$(mktemp -d "${TMPDIR:-/tmp}/hx-msi.XXXXXX")"
trap 'rm -rf "$work"' EXIT
package="$work/package.msi"

# wixl finds the File sources in the folder it runs in.
(cd "$bin_dir" && wixl --arch x64 -D Version="$version" -o "$package" "$source_file") \
    || die "wixl failed"

# What wixl cannot express, added to its tables:
# - the Disabled value is installed only when asked for (DISABLED=1) or when it was set before an upgrade,
#   and DISABLED=0 turns a kept one off;
# - the class key and the provider key go on uninstall with everything under them ("*" rows), also
#   values that were added after installation (Disable.ps1);
# - the files carry their version, so that Windows Installer's file rules replace files copied in by hand
#   (versioned files take no hash rows);
# - DISABLED reaches the elevated part of the installation;
# - a package of the same version (a rebuild) replaces the installed one too, instead of being installed
#   beside it (VersionMax inclusive, 0x200; Attributes is part of the row's key, so the row is replaced).
upgrade_code="$(msiinfo export "$package" Property | tr -d '\r' | awk -F'\t' '$1 == "UpgradeCode" {print $2}')"
queries=(
    "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
    "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade_code', '$version', 513, 'WIX_UPGRADE_DETECTED')"
    "UPDATE Component SET Condition = 'DISABLED = \"1\" OR (HX_WAS_DISABLED = \"#1\" AND NOT DISABLED = \"0\")' WHERE Component = 'DisabledSetting'"
    "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`) VALUES ('RemoveClassKey', 2, '$class_key', '*', 'Provider')"
    "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`) VALUES ('RemoveProviderKey', 2, '$provider_key', '*', 'Provider')"
    "UPDATE Property SET Value = 'DISABLED;HX_WAS_DISABLED;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE Property = 'SecureCustomProperties'"
)
for i in "${!file_ids[@]}"; do
    queries+=("UPDATE File SET Version = '${versions[$i]}' WHERE File = '${file_ids[$i]}'"
              "DELETE FROM MsiFileHash WHERE File_ = '${file_ids[$i]}'")
done
for query in "${queries[@]}"; do
    msibuild "$package" -q "$query" || die "msibuild failed on: $query"
done

if [ -n "$cert" ]; then
    pass_args=()
    [ -z "$pass_file" ] || pass_args=(-readpass "$pass_file")
    osslsigncode sign -certs "$cert" -key "$key" "${pass_args[@]}" -h sha256 \
        -n "Halvex credential provider" -in "$package" -out "$work/signed.msi" >/dev/null \
        || die "osslsigncode could not sign the package"
    package="$work/signed.msi"
fi
mv -f "$package" "$output"
echo "Built $output (version $version$([ -n "$cert" ] && echo ", signed"))"
