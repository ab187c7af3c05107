#!/usr/bin/env bash
# Removes the lock-screen stand-in's registration (CLSID_CUIAutomation8) and its script value from the
# current Wine prefix (WINEPREFIX).
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX}"
wine reg delete 'HKLM\Software\Classes\CLSID\{E22AD333-B25F-460C-83D0-0581107395C9}' /f >/dev/null 2>&1 || true
wine reg delete 'HKCU\Software\Halvex Test\LockScreen' /f >/dev/null 2>&1 || true
