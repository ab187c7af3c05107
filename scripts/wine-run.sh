#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix (used by CTest as the cross emulator).
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX is set by the test script}"
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
