#!/usr/bin/env bash
# hxhost --clsid against a provider of the test's own (two tiles, five field types, the second tile hangs
# in GetSerialization or crashes in GetStringValue), and against a class id nobody registered.
#   usage: any-provider.sh BIN_DIR PROVIDER_DLL
set -euo pipefail
bin_dir="$(cd "$1" && pwd)"
dll_windows="$(winepath -w "$2")"
clsid='{6A4D2C10-93B7-4E21-8F5A-1D7C3B9E0A42}'
key="HKLM\\Software\\Classes\\CLSID\\$clsid"
work="$(mktemp -d)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cleanup() {
    wine reg delete "$key" /f >/dev/null 2>&1 || true
    "$root/install/wine/test-negotiate-package.sh" remove >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
# The package a serialization names is looked up by name: the test "Negotiate" package stands in for it.
"$root/install/wine/test-negotiate-package.sh" install "$bin_dir" >/dev/null
wine reg add "$key\\InprocServer32" /ve /d "$dll_windows" /f >/dev/null 2>&1
wine reg add "$key\\InprocServer32" /v ThreadingModel /d Apartment /f >/dev/null 2>&1

failures=0
run() {  # name, expected exit status, host arguments...
    local name="$1" expected="$2" status=0 start=$SECONDS
    shift 2
    timeout 60 wine "$bin_dir/hxhost.exe" "$@" > "$work/$name.txt" 2>&1 || status=$?
    tr -d '\r' < "$work/$name.txt" > "$work/$name.out"
    if [ "$status" -ne "$expected" ]; then
        echo "$name: exit status $status, expected $expected"
        cat "$work/$name.out"
        failures=$((failures + 1))
    fi
    echo "$name: $((SECONDS - start)) s"
}
expect() {  # name, text
    grep -qF -- "$2" "$work/$1.out" || { echo "$1: expected: $2"; cat "$work/$1.out"; failures=$((failures + 1)); }
}
expect_not() {  # name, text
    ! grep -qF -- "$2" "$work/$1.out" || { echo "$1: not expected: $2"; failures=$((failures + 1)); }
}

# What LogonUI would show, read without assuming any field layout; the first tile's serialization.
run inspect 0 --clsid "$clsid" --scenarios --tile 0 --serialization
expect inspect "Scenarios supported: CPUS_LOGON, CPUS_UNLOCK_WORKSTATION"
expect inspect "Fields: 5"
expect inspect "Tiles: 2, default 1, auto-logon FALSE"
expect inspect 'field 0 CPFT_TILE_IMAGE "Picture": CPFS_DISPLAY_IN_BOTH, CPFIS_NONE, bitmap 48 x 32, 32 bits per pixel'
expect inspect 'field 1 CPFT_LARGE_TEXT "Name": CPFS_DISPLAY_IN_BOTH, CPFIS_NONE, "First test tile"'
expect inspect 'field 1 CPFT_LARGE_TEXT "Name": CPFS_DISPLAY_IN_BOTH, CPFIS_NONE, "Second test tile"'
expect inspect 'field 2 CPFT_PASSWORD_TEXT "Password": CPFS_DISPLAY_IN_SELECTED_TILE, CPFIS_FOCUSED, 15 characters (not shown)'
expect inspect 'field 3 CPFT_CHECKBOX "Remember me": CPFS_DISPLAY_IN_BOTH, CPFIS_NONE, checked, "Remember me"'
expect inspect 'field 4 CPFT_SUBMIT_BUTTON "Submit": CPFS_DISPLAY_IN_SELECTED_TILE, CPFIS_NONE, beside field 2'
expect inspect "Serialization: package Negotiate"
expect inspect "64 bytes, message type 2 (KerbInteractiveLogon)"
expect inspect "VERDICT hxhost: passed (message type 2 handed over at +"
expect_not inspect "s3cret-in-field"

# The default tile hangs in GetSerialization: the watchdog names the call within its bound.
run hang 4 --clsid "$clsid" --serialization --call-bound 2000
expect hang 'VERDICT hxhost: FAILED at step "GetSerialization": expected the call to return within 2000 ms; happened: the provider has not returned after 2000 ms (it hangs in this call)'

HX_TWO_TILE_CRASH=1 run crash 5 --clsid "$clsid"
expect crash 'VERDICT hxhost: FAILED at step "GetStringValue": expected the call to return within 15000 ms; happened: the provider crashed: exception 0xC0000005 at HalvexTestTwoTileProvider.dll+0x'

run unregistered 1 --clsid '{00000000-0000-0000-0000-00000000BEEF}'
expect unregistered 'VERDICT hxhost: FAILED at step "create the provider": expected the class {00000000-0000-0000-0000-00000000BEEF} registered in this Wine prefix; happened: class not registered (0x80040154)'

if [ "$failures" -ne 0 ]; then
    echo "any provider: $failures check(s) failed"
    exit 1
fi
echo "any provider: every check passed"
