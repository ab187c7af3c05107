#!/usr/bin/env bash
# Installs what is missing, builds, runs the native sanitizer and fuzz entries of the pure modules
# (CTest in build-native/) and then every test under Wine (CTest in build/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"
"$root/scripts/build-native.sh"

native_status=0
(cd "${NATIVE_BUILD_DIR:-$root/build-native}" && ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@") ||
    native_status=$?

source "$root/scripts/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$build_dir"

cd "$build_dir"
ctest --output-on-failure --timeout 600 "$@"
exit "$native_status"
