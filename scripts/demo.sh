#!/usr/bin/env bash
# Installs what is missing, builds, and walks through a sign-in with the LogonUI stand-in host, which
# reaches the provider through COM alone: the logon screen in English and the unlock screen in German; at
# the unlock screen the tile selected, the service started and the signed UI application launched by the
# provider, which recognises the locked user (signed in) or another user (the locked session is
# disconnected); then that other user, whose credentials wait in the sections, signed in at once.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

source "$root/scripts/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$build_dir"

# Trace logs of the walk-through go to a directory of their own, printed at the end.
log_dir="$build_dir/demo-logs"
rm -rf "$log_dir"
"$root/install/wine/enable-logging.sh" "$log_dir"

# The provider, its resource modules, the UI application stand-in and the host, signed by the test
# publisher and registered from there, as the trust check wants them; the "Halvex" service stand-in.
signed="$build_dir/signed"
"$root/install/wine/sign-layout.sh" "$build_dir/bin" "$signed"
"$root/install/wine/register.sh" "$signed"
wine "$signed/hxsvcctl.exe" install >/dev/null
host="$signed/hxhost.exe"
echo "=== Logon screen, English ==="
wine "$host" --scenario logon --lang 1033 "$@"
echo
echo "=== Unlock screen, German ==="
LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 wine "$host" --scenario unlock --lang 1031 "$@"

negotiate="$root/install/wine/test-negotiate-package.sh"
"$negotiate" install "$build_dir/bin"
trap '"$negotiate" remove; wine_env_down' EXIT
logonui_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Authentication\LogonUI'
wine reg add "$logonui_key" /v LastLoggedOnSAMUser /d 'CORP\alice' /f >/dev/null 2>&1

echo
echo "=== Unlock screen, CORP\\alice locked, her face recognised ==="
wine "$host" --scenario unlock --lang 1033 --recognize CORP alice 'demo-Passw0rd' "$@"
echo
echo "=== Unlock screen, CORP\\alice locked, CORP\\bob's face recognised ==="
wine "$host" --scenario unlock --lang 1033 --recognize CORP bob 'demo-Passw0rd' "$@"

echo
echo "=== Logon screen with CORP\\bob's credentials waiting after the switch of user ==="
filler="$build_dir/bin/credential_filler.exe"
wine "$filler" create --domain CORP --user bob --password 'demo-Passw0rd' --hold-seconds 30 &
filler_pid=$!
sleep 2
wine "$host" --scenario logon --lang 1033 "$@"
wine "$build_dir/bin/credential_filler.exe" clear >/dev/null 2>&1 || true
kill "$filler_pid" 2>/dev/null || true
wait "$filler_pid" 2>/dev/null || true
wine reg delete "$logonui_key" /v LastLoggedOnSAMUser /f >/dev/null 2>&1 || true

"$root/install/wine/enable-logging.sh" --off
"$root/install/wine/register.sh" "$build_dir/bin"
echo
echo "=== CP.log written by the walk-through ==="
cat "$log_dir"/*-CP.log 2>/dev/null | tr -d '\r' || echo "(no CP.log was written)"
