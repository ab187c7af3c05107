#!/usr/bin/env bash
# Sourced by the test and demo scripts: an X screen, the build's own Wine prefix with a persistent
# wineserver, and the provider and the lock-screen stand-in (as the UI Automation class) registered in
# that prefix. wine_env_down stops what wine_env_up started.

wine_env_up() {
    local build_dir="$1"
    export WINEPREFIX="$build_dir/wineprefix"
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export HX_BUILD_DIR="$build_dir"

    if [ -z "${HX_KEEP_DISPLAY:-}" ]; then
        local n=90
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        HX_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    fi

    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating the Wine prefix $WINEPREFIX ..."
        local output
        if ! output="$(wineboot -i 2>&1)"; then
            echo "wine-env.sh: wineboot -i could not create the prefix $WINEPREFIX: $output" >&2
            return 1
        fi
        wineserver -w
    fi
    wineserver -p 2>/dev/null || true  # a persistent server of this prefix may be running already
    wine cmd /c exit >/dev/null 2>&1 || true
    # The prefix reports Windows 7 (6.1) unless told otherwise; the provider runs on Windows 10, where the
    # lock screen exists (on Windows 7 it never asks UI Automation).
    wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1
    "$(dirname "${BASH_SOURCE[0]}")/../install/wine/register.sh" "$build_dir/bin"
    "$(dirname "${BASH_SOURCE[0]}")/../install/wine/register-lockscreen-standin.sh" "$build_dir/bin"
}

wine_env_down() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${HX_XVFB_PID:-}" ]; then
        kill "$HX_XVFB_PID" >/dev/null 2>&1 || true
        wait "$HX_XVFB_PID" 2>/dev/null || true
    fi
}
