#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine through CTest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

source "$root/scripts/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$build_dir"

cd "$build_dir"
ctest --output-on-failure --timeout 600 "$@"
