#!/usr/bin/env bash
# Registers the provider module of a build directory in the current Wine prefix (WINEPREFIX), the way the
# Windows installer does with System32: usage register.sh BIN_DIR
set -euo pipefail
bin_dir="$(cd "$1" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${WINEPREFIX:?set WINEPREFIX}"

module_path="$(winepath -w "$bin_dir/Corvani.Halvex.CredentialProvider.dll" 2>/dev/null)"
escaped="${module_path//\\/\\\\}"
reg_file="$WINEPREFIX/drive_c/hx-register.reg"
template="$(cat "$here/../registration.reg.in")"
printf '%s\n' "${template//@MODULE_PATH@/"$escaped"}" > "$reg_file"
if ! output="$(wine reg import 'C:\hx-register.reg' 2>&1)"; then
    echo "register.sh: wine reg import of $reg_file failed: $output" >&2
    exit 1
fi
