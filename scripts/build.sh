#!/usr/bin/env bash
# Configures and builds everything (provider, resource modules, tools, tests) with the mingw-w64 toolchain;
# jsoncpp's sources are fetched into $build_dir/jsoncpp first, once.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"

"$root/scripts/fetch-jsoncpp.sh" "$build_dir/jsoncpp"
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build_dir" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build_dir" -j "$(nproc)"
