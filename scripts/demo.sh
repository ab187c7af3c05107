#!/usr/bin/env bash
# Installs what is missing, builds, and walks through the face sign-in with the LogonUI stand-in host,
# which reaches the provider through COM alone: the logon screen; the unlock screen with the lock screen up
# at first; another user's face at the unlock screen (the locked session is disconnected) and that user
# signed in at once at the logon screen; a wrong password, after which the next SHOW asks for the new
# password; the lock screen coming back while the UI application is shown. Each road prints its story and
# one verdict line; the run stops at the first failure, with the step, what was expected, what happened
# and where the log is.
#   usage: demo.sh [--verbose]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"

fail() {  # step, expected, happened, log
    echo "VERDICT walk-through: FAILED at step \"$1\": expected $2; happened: $3; log: $4"
    exit 1
}

# Installing and building print pages of their own: they go to a log, which a failure names.
mkdir -p "$build_dir"
prepare_log="$build_dir/demo-prepare.log"
echo "Installing what is missing and building (log: $prepare_log) ..."
"$root/scripts/install-deps.sh" > "$prepare_log" 2>&1 ||
    fail "install" "the packages the build needs installed" "scripts/install-deps.sh ended with status $?" "$prepare_log"
BUILD_DIR="$build_dir" "$root/scripts/build.sh" >> "$prepare_log" 2>&1 ||
    fail "build" "the provider, the stand-ins and the host built" "scripts/build.sh ended with status $?" "$prepare_log"
start=$SECONDS
command -v wine >/dev/null || fail "install" "Wine (Debian wine64) installed" "no wine on PATH" "$prepare_log"
command -v Xvfb >/dev/null || fail "install" "an X server (Debian xvfb) installed" "no Xvfb on PATH" "$prepare_log"

echo "Preparing the Wine prefix and the X screen (log: $build_dir/wine-env.log) ..."
source "$root/scripts/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$build_dir" > "$build_dir/wine-env.log" 2>&1 ||
    fail "Wine prefix" "the build's Wine prefix ready" "wine_env_up failed" "$build_dir/wine-env.log"
[ -z "${DISPLAY:-}" ] || [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] ||
    fail "X server" "an X screen at $DISPLAY" "Xvfb did not start" "$build_dir/wine-env.log"

bash "$root/scripts/walkthrough.sh" "$build_dir/bin" "$build_dir/demo" "$@"
echo "Walked through in $((SECONDS - start)) s."
