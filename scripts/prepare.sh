#!/usr/bin/env bash
# Sourced by the test and demo scripts: installs what is missing and builds into $build_dir.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh"
