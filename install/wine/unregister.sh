#!/usr/bin/env bash
# Removes the provider's registration from the current Wine prefix (WINEPREFIX).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${WINEPREFIX:?set WINEPREFIX}"
cp "$here/../unregistration.reg" "$WINEPREFIX/drive_c/hx-unregister.reg"
wine reg import 'C:\hx-unregister.reg' >/dev/null 2>&1
