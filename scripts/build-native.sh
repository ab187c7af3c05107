#!/usr/bin/env bash
# Configures and builds the native sanitizer build of the pure modules (unit tests and fuzz targets) with
# Debian's clang into build-native/ (or $NATIVE_BUILD_DIR), from the jsoncpp sources that the cross build
# fetched into build/jsoncpp (or $BUILD_DIR/jsoncpp; fetched here when missing). HX_FUZZ_SECONDS sets each
# fuzz run's length.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native_dir="${NATIVE_BUILD_DIR:-$root/build-native}"
jsoncpp_dir="${BUILD_DIR:-$root/build}/jsoncpp"

"$root/scripts/fetch-jsoncpp.sh" "$jsoncpp_dir"
cmake -S "$root/native" -B "$native_dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DHX_JSONCPP_DIR="$jsoncpp_dir" \
    -DHX_FUZZ_SECONDS="${HX_FUZZ_SECONDS:-20}" >/dev/null
cmake --build "$native_dir" -j "$(nproc)"
