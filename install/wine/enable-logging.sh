#!/usr/bin/env bash
# Turns the provider's trace logs on in the current Wine prefix (WINEPREFIX), the way an installation of the
# product's service does: "InstallDir" under HKLM\SOFTWARE\Halvex\InstallInfo names a directory holding an
# NLog.config whose file target lies in LOG_DIR. Processes started afterwards write their daily CP.log,
# PipeServer.log and PipeClient.log into LOG_DIR.
#   usage: enable-logging.sh LOG_DIR     turn logging on, into LOG_DIR (created if missing)
#          enable-logging.sh --off       remove "InstallDir" again: logging off
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX}"
[ $# -eq 1 ] || { echo "usage: $0 LOG_DIR | --off" >&2; exit 2; }

key='HKLM\SOFTWARE\Halvex\InstallInfo'
if [ "$1" = "--off" ]; then
    wine reg delete "$key" /v InstallDir /f >/dev/null 2>&1 || true
    exit 0
fi

install_dir="$WINEPREFIX/drive_c/Program Files/Halvex"
mkdir -p "$install_dir" "$1"
log_dir_windows="$(winepath -w "$(cd "$1" && pwd)" 2>/dev/null)"

# The provider reads only the first fileName="..." and keeps what precedes its last backslash.
printf '%s\r\n' \
    '<?xml version="1.0" encoding="utf-8" ?>' \
    '<nlog>' \
    '  <targets>' \
    "    <target name=\"file\" type=\"File\" fileName=\"${log_dir_windows}\\service-\${shortdate}.log\" />" \
    '  </targets>' \
    '</nlog>' > "$install_dir/NLog.config"

wine reg add "$key" /v InstallDir /t REG_SZ /d 'C:\Program Files\Halvex' /f >/dev/null 2>&1
echo "Trace logs go to $1 ($log_dir_windows)"
