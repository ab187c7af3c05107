#!/usr/bin/env bash
# The roads of a face sign-in, each through COM alone: the LogonUI stand-in host selects the tile, the
# provider starts the "Halvex" service stand-in and launches the signed UI application stand-in, which
# recognises a face on its first SHOW; the host scripts the lock screen. The host keeps no helper
# apartment: its own thread is single-threaded, as LogonUI's. Each road prints its story (ms
# since the tile was selected) and one verdict line; the run stops at the first road that fails.
# Runs in a Wine environment that wine_env_up prepared.
#   usage: walkthrough.sh BIN_DIR OUT_DIR [--fast] [--check-order] [--verbose]
#     --fast         shorter delays (the test's variant)
#     --check-order  also checks the order of each story's events
#     --verbose      the host's per-call lines too
# OUT_DIR receives, per road, the host's output and the road's excerpt of the trace log, and the pictures.
set -euo pipefail
bin_dir="$(cd "$1" && pwd)"
mkdir -p "$2"
out="$(cd "$2" && pwd)"
shift 2
fast="" check_order="" verbose=()
for arg in "$@"; do
    case "$arg" in
    --fast) fast=1 ;;
    --check-order) check_order=1 ;;
    --verbose) verbose=(--verbose) ;;
    *) echo "walkthrough.sh: unknown option $arg" >&2; exit 2 ;;
    esac
done
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
signed="$(cd "$bin_dir/.." && pwd)/signed"
source "$root/install/wine/walkthrough-env.sh"

# Delays of the lock screen and the recognition, in ms: the demo's, or the test's shorter ones.
if [ -n "$fast" ]; then first_dismissal=800 recognition=100 slow_reply=600 later_recognition=5000; else
    first_dismissal=1500 recognition=300 slow_reply=900 later_recognition=6000; fi

logs="$out/logs"
rm -rf "$logs" "$out"/*.png "$out"/*-host.txt "$out"/*-CP.log
"$root/install/wine/enable-logging.sh" "$logs" >/dev/null
logs_windows="$(winepath -w "$logs")"
settings='HKLM\Software\Halvex\Settings'
filler_pid=""

cleanup() {
    [ -z "$filler_pid" ] || { kill "$filler_pid" 2>/dev/null || true; wait "$filler_pid" 2>/dev/null || true; }
    wine reg delete "$settings" /v SPLASHSCREEN_ENABLE /f >/dev/null 2>&1 || true
    walkthrough_down "$bin_dir"
}
trap cleanup EXIT
walkthrough_up "$bin_dir"

stop() {  # step, expected, happened: the one line a newcomer reads
    echo "VERDICT walk-through: FAILED at step \"$1\": expected $2; happened: $3; log: $logs"
    exit 1
}
[ -f "$signed/Corvani.Halvex.UI.exe" ] || stop "signed layout" "the signed UI application in $signed" "not there"

splash() { wine reg add "$settings" /v SPLASHSCREEN_ENABLE /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
trace_text() { cat "$logs"/*-CP.log 2>/dev/null || true; }
trace_lines() { trace_text | wc -l; }
picture() { winepath -w "$out/$1"; }

verdicts=()
run_host() {  # name, host arguments...
    local name="$1"
    shift
    env "${road_env[@]}" timeout 120 wine "$signed/hxhost.exe" --road "$name" --log-dir "$logs_windows" \
        "${verbose[@]}" "$@" | tr -d '\r' | tee "$out/$name-host.txt"
}

present=()   # the story lines the next road must have, in any order
road_env=()  # the environment of the next road's host (its locale, the UI application's misbehaviour)
road() {  # name, title, host arguments...
    local name="$1" title="$2" before status=0
    shift 2
    echo "=== $title ==="
    before="$(trace_lines)"
    run_host "$name" "$@" || status=$?
    if [ "$status" -ne 0 ] && [ ! -s "$out/$name-host.txt" ]; then
        # Wine itself did not start the host (seen once in many runs, without a message): once more, with
        # Wine's own error messages kept for the log.
        echo "  the host did not start (status $status); once more, Wine's messages to $out/$name-wine.txt"
        status=0
        WINEDEBUG=err+all run_host "$name" "$@" 2> "$out/$name-wine.txt" || status=$?
    fi
    trace_text | tr -d '\r' | tail -n +"$((before + 1))" > "$out/$name-CP.log"
    echo "  the trace log of this road: $out/$name-CP.log"
    echo
    local verdict
    verdict="$(grep '^VERDICT ' "$out/$name-host.txt" | tail -1 || true)"
    [ -n "$verdict" ] || verdict="VERDICT $name: FAILED at step \"run the host\": expected a verdict; happened: the host ended with status $status and no verdict; log: $out/$name-host.txt"
    verdicts+=("$verdict")
    if [ "$status" -ne 0 ] || [[ "$verdict" != *": passed"* ]]; then
        summary
        exit 1
    fi
    [ -z "$check_order" ] || { story_in_order "$name" "${order[@]}"; story_has "$name" "${present[@]}"; }
    present=()
}

# The story's events that must be there, wherever they stand.
story_has() {
    local name="$1"
    shift
    for text in "$@"; do
        grep -qF -- "$text" "$out/$name-host.txt" && continue
        verdicts+=("VERDICT $name: FAILED at step \"story\": expected \"$text\" in the story; happened: not there; log: $out/$name-host.txt")
        summary
        exit 1
    done
}

# The story's events in this order (each text found on a later line than the one before it).
story_in_order() {
    local name="$1" line=0 found
    shift
    for text in "$@"; do
        found="$(tail -n +"$((line + 1))" "$out/$name-host.txt" | grep -nF -- "$text" | head -1 | cut -d: -f1 || true)"
        if [ -z "$found" ]; then
            verdicts+=("VERDICT $name: FAILED at step \"story order\": expected \"$text\" after line $line of the story; happened: not there; log: $out/$name-host.txt")
            summary
            exit 1
        fi
        line=$((line + found))
    done
}

summary() {
    echo "=== Verdicts ==="
    printf '%s\n' "${verdicts[@]}"
}

common=(--lang 1033)
splash 0
# The service starts beside the launch, not before it: on a loaded machine it may be seen running only
# after the sign-in, so its line is in the story but not in the order checked.
order=("tile 0 selected" "UI application started, parameters \" -l 1033\""
       "SHOW accepted" "LOGON received" "CredentialsChanged raised" "serialization handed over"
       "result reported: STATUS_SUCCESS")
road logon "Logon screen: CORP\\alice's face recognised" --scenario logon "${common[@]}" \
    --recognize CORP alice 'demo-Passw0rd' --recognize-delay "$recognition" --expect message-type=2 \
    --tile-picture "$(picture tile.png)"

# The UI application answers slowly, as at a cold start: the splash (its picture mode) bridges the wait.
splash 1
# The launch is decided while the lock screen is up (" -h "); on a loaded machine the started process is seen
# only after the dismissal, so its line is checked present, not in its order.
order=("lock screen up" "tile 0 selected" "lock screen dismissed" "splash window up"
       "SHOW accepted" "splash window down" "LOGON received" "CredentialsChanged raised" "serialization handed over"
       "result reported: STATUS_SUCCESS")
present=("parameters \" -l 1031 -h \"")
road_env=(LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 HX_UI_STANDIN_OPTIONS="--reply-delay $slow_reply")
road unlock "Unlock screen, German, CORP\\alice locked; the lock screen up until $first_dismissal ms after the selection" \
    --scenario unlock --lang 1031 --recognize CORP alice 'demo-Passw0rd' --recognize-delay "$recognition" \
    --lock-screen --dismiss-after "$first_dismissal" --expect message-type=7 --expect commands=SHOW \
    --tile-picture "$(picture tile-de.png)" --splash-picture "$(picture splash-picture.png)"
road_env=()

# No lock screen: the splash (its text mode) goes up at once, before the launch.
splash 2
order=("tile 0 selected" "splash window up" "UI application started" "SHOW accepted" "LOGON received"
       "LastLoggedOnProvider set to")
road other-user "Unlock screen, CORP\\alice locked, CORP\\bob's face recognised" --scenario unlock "${common[@]}" \
    --recognize CORP bob 'demo-Passw0rd' --recognize-delay "$recognition" --expect disconnect \
    --splash-picture "$(picture splash-text.png)"
splash 0

wine "$bin_dir/credential_filler.exe" create --domain CORP --user bob --password 'demo-Passw0rd' --hold-seconds 30 \
    > "$out/filler.txt" 2>&1 &
filler_pid=$!
for _ in $(seq 100); do grep -q . "$out/filler.txt" 2>/dev/null && break; sleep 0.1; done
order=("auto-logon TRUE" "tile 0 selected" "serialization handed over" "result reported: STATUS_SUCCESS")
road waiting "Logon screen with CORP\\bob's credentials waiting after the switch of user" --scenario logon \
    "${common[@]}" --expect message-type=2
wine "$bin_dir/credential_filler.exe" clear >/dev/null 2>&1 || true
kill "$filler_pid" 2>/dev/null || true
wait "$filler_pid" 2>/dev/null || true
filler_pid=""

order=("result reported: STATUS_LOGON_FAILURE" "lock screen back" "HIDE accepted" "lock screen dismissed again"
       "CHANGEPASSWORD accepted")
road wrong-password "Unlock screen, a wrong password; the lock screen comes back and goes; the next SHOW is CHANGEPASSWORD" \
    --scenario unlock "${common[@]}" --recognize CORP alice 'wrong' --recognize-delay "$recognition" --logon-fails \
    --lock-screen --dismiss-after 500 --lock-again-after 3000 --dismiss-again-after 2000 \
    --expect message-type=7 --expect commands=SHOW,HIDE,CHANGEPASSWORD

# The lock screen comes back 2 s after the dismissal: on a loaded machine the first SHOW was seen up to 1 s
# after it; the recognition waits past the second SHOW.
order=("SHOW accepted" "lock screen back" "HIDE accepted" "lock screen dismissed again" "SHOW accepted" "LOGON received"
       "serialization handed over")
road lock-screen-returns "Unlock screen, the lock screen comes back while the UI application is shown: HIDE, then SHOW" \
    --scenario unlock "${common[@]}" --recognize CORP alice 'demo-Passw0rd' --recognize-delay "$later_recognition" \
    --lock-screen --dismiss-after 500 --lock-again-after 2000 --dismiss-again-after 2000 \
    --expect message-type=7 --expect commands=SHOW,HIDE,SHOW

# The person picks another tile once the face UI is up and comes back to this one: SHOW again.
order=("tile 0 selected" "SHOW accepted" "tile deselected (another tile picked)" "tile 0 selected again"
       "SHOW accepted" "LOGON received" "serialization handed over")
road reselect "Logon screen: the tile deselected once the face UI is up, selected again; SHOW again, then the sign-in" \
    --scenario logon "${common[@]}" --recognize CORP alice 'demo-Passw0rd' --recognize-delay "$later_recognition" \
    --reselect-after 1500 --expect message-type=2 --expect commands=SHOW,SHOW

# The UI application crashes right after its first SHOW: the provider starts it again and shows it.
crash_marker="$out/ui-crash.marker"
rm -f "$crash_marker"
order=("UI application started" "SHOW accepted" "UI application started" "SHOW accepted" "LOGON received"
       "serialization handed over")
road_env=(HX_UI_STANDIN_OPTIONS="--crash-once-after-show $(winepath -w "$crash_marker")")
road ui-crash "Logon screen: the UI application crashes after its first SHOW; started again, SHOW, the sign-in" \
    --scenario logon "${common[@]}" --recognize CORP alice 'demo-Passw0rd' --recognize-delay "$recognition" \
    --expect message-type=2 --expect commands=SHOW,SHOW
road_env=()

# LogonUI creates a provider on every lock: two one after the other in one process, both signing in.
order=("tile 0 selected" "SHOW accepted" "serialization handed over" "tile 0 selected" "SHOW accepted"
       "serialization handed over")
road two-locks "Two provider instances one after the other in one LogonUI: each signs in; the second Advise at once" \
    --scenario logon "${common[@]}" --recognize CORP alice 'demo-Passw0rd' --recognize-delay "$recognition" \
    --instances 2 --advise-within 100 --expect message-type=2

# The splash on and a UI application that answers at once: the splash is down as soon as SHOW is
# accepted, whichever thread puts it up last.
splash 1
order=("lock screen up" "tile 0 selected" "lock screen dismissed" "SHOW accepted" "serialization handed over")
for run in $(seq 10); do
    road fast-splash "Unlock screen, the splash on, a UI application that answers at once (run $run of 10)" \
        --scenario unlock "${common[@]}" --recognize CORP alice 'demo-Passw0rd' --recognize-delay "$recognition" \
        --lock-screen --dismiss-after 800 --expect message-type=7 --expect commands=SHOW
done
splash 0

summary
echo "Pictures: $out/tile.png, $out/tile-de.png, $out/splash-picture.png, $out/splash-text.png"
