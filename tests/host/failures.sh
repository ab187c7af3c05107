#!/usr/bin/env bash
# What a newcomer sees when the walk-through cannot work: one verdict line naming the step, what was
# expected, what happened and the log, and a non-zero exit status; never a wait for the full patience.
#   usage: failures.sh BIN_DIR
set -euo pipefail
bin_dir="$(cd "$1" && pwd)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
signed="$(cd "$bin_dir/.." && pwd)/signed"
work="$(mktemp -d)"
source "$root/install/wine/walkthrough-env.sh"
cleanup() {
    [ ! -f "$work/signed-ui.exe" ] || cp "$work/signed-ui.exe" "$signed/Corvani.Halvex.UI.exe"
    walkthrough_down "$bin_dir"
    rm -rf "$work"
}
trap cleanup EXIT
walkthrough_up "$bin_dir"
"$root/install/wine/enable-logging.sh" "$work/logs" >/dev/null

failures=0
check() {  # name, expected exit status, expected verdict text, host arguments...
    local name="$1" expected="$2" text="$3" status=0 start=$SECONDS
    shift 3
    timeout 60 wine "$signed/hxhost.exe" --road "$name" --log-dir "$(winepath -w "$work/logs")" "$@" 2>&1 |
        tr -d '\r' > "$work/$name.txt" || status=$?
    local verdict
    verdict="$(grep '^VERDICT ' "$work/$name.txt" || true)"
    if [ "$status" -ne "$expected" ] || [[ "$verdict" != *"$text"* ]] || [ $((SECONDS - start)) -gt 15 ] ||
        [[ "$verdict" != *"; log: "*"-CP.log" ]]; then
        echo "$name: status $status (expected $expected) after $((SECONDS - start)) s, verdict: $verdict"
        echo "  expected: $text"
        failures=$((failures + 1))
    fi
}

# An older day's log, whose name sorts after today's as text ("2019-9-30" > "2026-12-9"): the verdict
# names today's.
mkdir -p "$work/logs"
touch "$work/logs/2019-9-30-CP.log"
today_log="$(date +%Y-%-m-%-d)-CP.log"

# The UI application beside the provider is not signed by a trusted publisher.
cp "$signed/Corvani.Halvex.UI.exe" "$work/signed-ui.exe"
cp "$bin_dir/Corvani.Halvex.UI.exe" "$signed/Corvani.Halvex.UI.exe"
check unsigned 1 'FAILED at step "UI application started": expected the provider to launch the UI application after the selection; happened: the provider refused to start it: its signature is not trusted (the trace log says: NuvCredential::ExecuteUIEXE | ** ERROR: UI EXE verification Failed)' \
    --scenario logon --lang 1033 --recognize CORP alice 'demo-Passw0rd' --expect message-type=2
cp "$work/signed-ui.exe" "$signed/Corvani.Halvex.UI.exe"
if ! grep -q "; log: .*$today_log\$" "$work/unsigned.txt"; then
    echo "unsigned: the verdict does not name today's log $today_log: $(grep '^VERDICT ' "$work/unsigned.txt")"
    failures=$((failures + 1))
fi

# The provider is not registered in the prefix.
"$root/install/wine/unregister.sh" >/dev/null 2>&1
check unregistered 1 'FAILED at step "create the provider": expected the class {5E0C9A41-7D2B-4F63-9A18-2C6B8E4F0D37} registered in this Wine prefix; happened: class not registered (0x80040154)' \
    --scenario logon --lang 1033 --recognize CORP alice 'demo-Passw0rd' --expect message-type=2

if [ "$failures" -ne 0 ]; then
    echo "failures: $failures check(s) failed"
    exit 1
fi
echo "failures: each one told in one line"
