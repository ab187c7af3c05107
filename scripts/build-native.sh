#!/usr/bin/env bash
# Configures and builds the native sanitizer build of the pure modules (unit tests and fuzz targets) with
# Debian's clang into build-native/ (or $NATIVE_BUILD_DIR). HX_FUZZ_SECONDS sets each fuzz run's length.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native_dir="${NATIVE_BUILD_DIR:-$root/build-native}"

cmake -S "$root/native" -B "$native_dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DHX_FUZZ_SECONDS="${HX_FUZZ_SECONDS:-20}" >/dev/null
cmake --build "$native_dir" -j "$(nproc)"
