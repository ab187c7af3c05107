#!/usr/bin/env bash
# The roads of a face sign-in, each through COM alone with the signed UI application stand-in launched
# by the provider, the service stand-in started by it and the lock screen scripted by the host. Each road
# checks what LogonUI got and, in the stand-in's record and the trace log, the order of what happened.
#   usage: walkthrough.sh BIN_DIR
set -euo pipefail
bin_dir="$(cd "$1" && pwd)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
signed="$(cd "$bin_dir/.." && pwd)/signed"
work="$(mktemp -d)"
source "$root/install/wine/walkthrough-env.sh"

cleanup() {
    walkthrough_down "$bin_dir"
    [ -n "${HX_KEEP_WALKTHROUGH:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
walkthrough_up "$bin_dir"

failures=0
road() {  # name, host arguments...
    local name="$1"
    shift
    rm -rf "$work/logs" "$work/record.txt"
    "$root/install/wine/enable-logging.sh" "$work/logs" >/dev/null
    if ! timeout 120 wine "$signed/hxhost.exe" --lang 1033 --standin-record "$(winepath -w "$work/record.txt")" \
        "$@" > "$work/out.txt" 2>&1; then
        echo "road '$name': the host failed"
        cat "$work/out.txt"
        failures=$((failures + 1))
        return 1
    fi
    tr -d '\r' < "$work/out.txt" > "$work/host.txt"
    cat "$work"/logs/*-CP.log 2>/dev/null | tr -d '\r' | sed 's/^[^|]*|[^|]*|[^|]*|[^|]*|[^|]*| //' > "$work/cp.txt"
    tr -d '\r' < "$work/record.txt" > "$work/standin.txt" 2>/dev/null || true
}

expect() {  # road, file, text
    if ! grep -qF -- "$3" "$work/$2"; then
        echo "road '$1': expected in $2: $3"
        failures=$((failures + 1))
    fi
}

expect_order() {  # road, file, first text, later text
    local first later
    first="$(grep -nF -- "$3" "$work/$2" | head -1 | cut -d: -f1 || true)"
    later="$(grep -nF -- "$4" "$work/$2" | tail -1 | cut -d: -f1 || true)"
    if [ -z "$first" ] || [ -z "$later" ] || [ "$first" -ge "$later" ]; then
        echo "road '$1': expected in $2 \"$3\" before \"$4\""
        failures=$((failures + 1))
    fi
}

if road logon --scenario logon --recognize CORP alice 'demo-Passw0rd'; then
    expect logon host.txt "message type 2 (KerbInteractiveLogon)"
    expect logon standin.txt "START pid="
    expect_order logon standin.txt '"SHOW"' "SENT LOGON ok"
fi

if road unlock-lock-screen --scenario unlock --recognize CORP alice 'demo-Passw0rd' --lock-screen --dismiss-after 1500; then
    expect unlock-lock-screen host.txt "message type 7 (KerbWorkstationUnlockLogon)"
    expect unlock-lock-screen standin.txt "hidden=1"
    expect_order unlock-lock-screen cp.txt "NuvCredential::ShowFlashScreenOnLockScreenDismissed | 4" \
        "NuvCredential::SendShowMessage | SHOW sent successfully"
fi

if road other-user --scenario unlock --recognize CORP bob 'demo-Passw0rd'; then
    expect other-user host.txt "the locked session was disconnected"
    expect other-user cp.txt "NuvProvider::setCredentialChanged | before WTSDisconnectSession"
fi

if road wrong-password --scenario unlock --recognize CORP alice 'wrong' --logon-fails --recognize-delay 300 \
    --lock-screen --dismiss-after 500 --lock-again-after 3000 --dismiss-again-after 1000; then
    expect wrong-password host.txt "ReportResult(STATUS_LOGON_FAILURE) -> 0x00000000"
    expect_order wrong-password standin.txt '"HIDE"' '"CHANGEPASSWORD"'
fi

if [ "$failures" -ne 0 ]; then
    echo "walk-through: $failures check(s) failed"
    exit 1
fi
echo "walk-through: every road passed"
