#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine through CTest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"

"$root/scripts/install-deps.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh"

source "$root/scripts/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$build_dir"

cd "$build_dir"
ctest --output-on-failure --timeout 600 "$@"
