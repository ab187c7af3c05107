#!/usr/bin/env bash
# Runs one Windows program under Wine on an X screen of the given size: an Xvfb of its own and a Wine
# prefix of its own beside the build's shared one (one wineserver serves one prefix, and its desktop
# takes the size of the X screen it started on). The prefix is made once and kept in the build directory.
# Usage: own-screen.sh WIDTHxHEIGHT program [arguments...]
set -euo pipefail
size="$1"
program="$2"
shift 2

build_dir="${HX_BUILD_DIR:-$(cd "$(dirname "$program")/.." && pwd)}"
export WINEPREFIX="$build_dir/wineprefix-$size"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="

display_file="$(mktemp)"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
stop() {
    wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    wait "$xvfb_pid" 2>/dev/null || true
    rm -f "$display_file"
}
trap stop EXIT

for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
if [ ! -s "$display_file" ]; then
    echo "no X screen of $size could be started" >&2
    exit 1
fi
export DISPLAY=":$(head -n 1 "$display_file")"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX ..."
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
wineserver -p
# No window manager runs on this screen: Wine places and sizes the windows itself, as Windows does, so
# that a maximised window covers the screen instead of keeping its size at creation.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine "$program" "$@"
