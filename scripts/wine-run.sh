#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix (used by CTest as the cross emulator).
# The program writes to files that are followed until the program ends, not to CTest's pipes: Wine can leave
# a console program's console host running after the program (seen for one ended while its console was
# being made), and a host holding CTest's pipe would keep CTest waiting until its timeout.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX is set by the test script}"
export WINEDEBUG="${WINEDEBUG:--all}"

output="$(mktemp -d "${TMPDIR:-/tmp}/hx-wine-run.XXXXXX")"
trap 'rm -rf "$output"' EXIT
wine "$@" <&0 >"$output/out" 2>"$output/err" &
program=$!
tail -s 0.1 -n +1 -f --pid="$program" "$output/out" &
following_out=$!
tail -s 0.1 -n +1 -f --pid="$program" "$output/err" >&2 &
following_err=$!
status=0
wait "$program" || status=$?
wait "$following_out" "$following_err" || true
exit "$status"
