#!/usr/bin/env bash
# Registers the lock-screen stand-in of a build directory in the current Wine prefix (WINEPREFIX) under
# CLSID_CUIAutomation8, which Wine leaves unregistered: usage register-lockscreen-standin.sh BIN_DIR
# ThreadingModel "Both": threads of the host's multithreaded apartment create it in-process, as the provider
# asks (CLSCTX_INPROC_SERVER).
set -euo pipefail
bin_dir="$(cd "$1" && pwd)"
: "${WINEPREFIX:?set WINEPREFIX}"
module_path="$(winepath -w "$bin_dir/HalvexLockScreenStandIn.dll" 2>/dev/null)"
key='HKLM\Software\Classes\CLSID\{E22AD333-B25F-460C-83D0-0581107395C9}\InprocServer32'
wine reg add "$key" /ve /d "$module_path" /f >/dev/null 2>&1
wine reg add "$key" /v ThreadingModel /d Both /f >/dev/null 2>&1
