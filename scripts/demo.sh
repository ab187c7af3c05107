#!/usr/bin/env bash
# Installs what is missing, builds, and walks through the face sign-in with the LogonUI stand-in host,
# which reaches the provider through COM alone. On each screen the tile is selected, the provider starts
# the "Halvex" service stand-in and launches the signed UI application stand-in, which recognises a face
# on its first SHOW: the logon screen; the unlock screen with the lock screen up at first; another user's
# face at the unlock screen (the locked session is disconnected) and that user signed in at once at the
# logon screen; a wrong password, after which the next SHOW asks for the new password.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

source "$root/scripts/wine-env.sh"
source "$root/install/wine/walkthrough-env.sh"
trap 'walkthrough_down "$build_dir/bin"; wine_env_down' EXIT
wine_env_up "$build_dir"

# What LogonUI would find on an installed machine: the provider, its resource modules, the UI application
# and the host signed by the (test) publisher, registered from there; the product service.
walkthrough_up "$build_dir/bin"
signed="$build_dir/signed"

log_dir="$build_dir/demo-logs"
rm -rf "$log_dir"
"$root/install/wine/enable-logging.sh" "$log_dir"
host() { wine "$signed/hxhost.exe" "$@"; }

echo "=== Logon screen: CORP\\alice's face recognised ==="
host --scenario logon --lang 1033 --recognize CORP alice 'demo-Passw0rd' "$@"
echo
echo "=== Unlock screen, German, CORP\\alice locked, the lock screen up until 1.5 s after selection ==="
LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 host --scenario unlock --lang 1031 --recognize CORP alice 'demo-Passw0rd' \
    --lock-screen --dismiss-after 1500 "$@"
echo
echo "=== Unlock screen, CORP\\alice locked, CORP\\bob's face recognised ==="
host --scenario unlock --lang 1033 --recognize CORP bob 'demo-Passw0rd' "$@"
echo
echo "=== Logon screen with CORP\\bob's credentials waiting after the switch of user ==="
filler="$build_dir/bin/credential_filler.exe"
wine "$filler" create --domain CORP --user bob --password 'demo-Passw0rd' --hold-seconds 30 &
filler_pid=$!
sleep 2
host --scenario logon --lang 1033 "$@"
wine "$filler" clear >/dev/null 2>&1 || true
kill "$filler_pid" 2>/dev/null || true
wait "$filler_pid" 2>/dev/null || true
echo
echo "=== Unlock screen, a wrong password; the lock screen comes back and goes, the next SHOW is CHANGEPASSWORD ==="
record="$build_dir/demo-logs/ui-standin.txt"
host --scenario unlock --lang 1033 --recognize CORP alice 'wrong' --logon-fails --lock-screen --dismiss-after 500 \
    --lock-again-after 3000 --dismiss-again-after 1000 --standin-record "$(winepath -w "$record")" "$@"
echo "  the UI application received:"
grep -o '"Command": *"[A-Z_]*"' "$record" | sed 's/^/    /'

echo
echo "The trace log of the walk-through: $(ls "$log_dir"/*-CP.log 2>/dev/null | head -1)"
