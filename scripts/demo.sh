#!/usr/bin/env bash
# Installs what is missing, builds, and walks through a sign-in with the LogonUI stand-in host:
# the logon screen in English, then the unlock screen in German.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"

"$root/scripts/install-deps.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh"

source "$root/scripts/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$build_dir"

host="$build_dir/bin/hxhost.exe"
echo "=== Logon screen, English ==="
wine "$host" --scenario logon --lang 1033 "$@"
echo
echo "=== Unlock screen, German ==="
LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 wine "$host" --scenario unlock --lang 1031 "$@"
