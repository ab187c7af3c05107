#!/usr/bin/env bash
# hxhost --clsid against a provider of the test's own as LogonUI meets them in the field (FieldProvider.cpp)
# and against a class id nobody registered: each case with the run that shows it and the host's line.
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

# The runs: name, exit status, host arguments after --clsid (a leading VAR=value goes to its environment).
runs='inspect 0 --scenarios --tile 0 --serialization --tile-picture TILE_PNG
users 1 --user CORP\bob=S-1-5-21-1-2-3-1104 --tile 1 --serialization --expect message-type=2
wrong-password 0 --tile 0 --serialization --logon-fails
no-array 1 --no-user-array
hang 4 --serialization --call-bound 2000
crash 5 HX_FIELD_PROVIDER_CRASH=1
unregistered 1 --clsid {00000000-0000-0000-0000-00000000BEEF}'

failures=0
fail() { echo "$1"; failures=$((failures + 1)); }
while read -r name expected arguments; do
    environment=()
    read -ra words <<<"${arguments//TILE_PNG/$(winepath -w "$work/tile.png")}"
    [[ "${words[0]}" != *=* ]] || { environment=("${words[0]}"); words=("${words[@]:1}"); }
    status=0
    env "${environment[@]}" timeout 60 wine "$bin_dir/hxhost.exe" --clsid "$clsid" "${words[@]}" </dev/null 2>&1 |
        tr -d '\r' > "$work/$name.out" || status=$?
    [ "$status" -eq "$expected" ] || fail "$name: exit status $status, expected $expected"
done <<<"$runs"

# What LogonUI meets | the run | the host's line. The user running the host is S-1-5-21-0-0-0-1000 in Wine.
while IFS='|' read -r case name line; do
    grep -qF -- "$line" "$work/$name.out" || { fail "$case ($name): expected: $line"; cat "$work/$name.out"; }
done <<'CASES'
V2 provider needing the user array|inspect|User array: 1 user(s): S-1-5-21-0-0-0-1000 
V2 provider needing the user array|inspect|Tiles: 2, default 1, auto-logon FALSE
V2 provider needing the user array|inspect|Tile 0 (V2, user S-1-5-21-0-0-0-1000 
V2 provider needing the user array|inspect|VERDICT hxhost: passed (message type 2 handed over at +
V2 provider needing the user array|no-array|User array: left out (--no-user-array)
V2 provider needing the user array|no-array|VERDICT hxhost: FAILED at step "select a tile": expected a tile 0; happened: 0 tile(s) (the provider takes a user array, and --no-user-array left it out)
E_NOTIMPL from Advise|inspect| ms): E_NOTIMPL, the provider never raises CredentialsChanged
E_NOTIMPL from Advise|inspect|ICredentialProviderCredential::Advise (tile 1): E_NOTIMPL, the tile never updates its fields
events 2 field updates|inspect|ms  BeginFieldUpdates
events 2 field updates|inspect|ms  tile 0 field 4 SetFieldString: "Type your password"
events 2 field updates|inspect|ms  tile 0 field 6 SetFieldString: 15 characters (not shown)
events 2 field updates|inspect|ms  tile 0 field 6 SetFieldOptions: CPCFO_ENABLE_PASSWORD_REVEAL | CPCFO_NUMBERS_ONLY
events 2 field updates|inspect|ms  tile 0 field 8 SetFieldComboBoxSelectedItem: item 2
events 2 field updates|inspect|ms  tile 0 field 9 SetFieldState: CPFS_HIDDEN
every field type|inspect|field 2 CPFT_TILE_IMAGE "Picture": CPFS_DISPLAY_IN_BOTH, CPFIS_NONE, bitmap 48 x 32, 32 bits per pixel
every field type|inspect|field 3 CPFT_LARGE_TEXT "Name": CPFS_DISPLAY_IN_BOTH, CPFIS_NONE, "Other user"
every field type|inspect|field 4 CPFT_SMALL_TEXT "Status": CPFS_DISPLAY_IN_SELECTED_TILE, CPFIS_NONE, "Signed out"
every field type|inspect|field 5 CPFT_EDIT_TEXT "User name" CPFG_LOGON_USERNAME: CPFS_DISPLAY_IN_SELECTED_TILE, CPFIS_NONE, "
every field type|inspect|field 6 CPFT_PASSWORD_TEXT "Password" CPFG_LOGON_PASSWORD: CPFS_DISPLAY_IN_SELECTED_TILE, CPFIS_FOCUSED, 0 characters (not shown), options CPCFO_ENABLE_PASSWORD_REVEAL
every field type|inspect|field 7 CPFT_CHECKBOX "Remember me": CPFS_DISPLAY_IN_SELECTED_TILE, CPFIS_NONE, checked, "Remember me"
every field type|inspect|field 8 CPFT_COMBOBOX "Domain": CPFS_DISPLAY_IN_SELECTED_TILE, CPFIS_NONE, 3 items: "CORP", "WINEHOST" (selected), "Other"
every field type|inspect|field 9 CPFT_COMMAND_LINK "I forgot my password": CPFS_DISPLAY_IN_SELECTED_TILE, CPFIS_NONE, "I forgot my password"
every field type|inspect|field 10 CPFT_SUBMIT_BUTTON "Submit": CPFS_DISPLAY_IN_SELECTED_TILE, CPFIS_NONE, beside field 6
logo and label by GUID|inspect|field 0 CPFT_TILE_IMAGE "Logo" CPFG_CREDENTIAL_PROVIDER_LOGO (the provider's, not the tile's): CPFS_DISPLAY_IN_BOTH, CPFIS_NONE, bitmap 72 x 72, 32 bits per pixel, options CPCFO_ENABLE_TOUCH_KEYBOARD_AUTO_INVOKE
logo and label by GUID|inspect|field 1 CPFT_SMALL_TEXT "Label" CPFG_CREDENTIAL_PROVIDER_LABEL (the provider's, not the tile's): CPFS_DISPLAY_IN_BOTH, CPFIS_NONE, "Test sign-in"
logo and label by GUID|inspect|tile.png (provider logo: field 0, picture: field 2, large text: field 3, small text: field 4)
a tile per user|users|User array: 2 user(s): S-1-5-21-0-0-0-1000 
a tile per user|users|, S-1-5-21-1-2-3-1104 CORP\bob
a tile per user|users|Tile 1 (V2, user S-1-5-21-1-2-3-1104 CORP\bob):
a tile per user|users|Tile 2 (V2, the "Other user" tile):
status texts on failure|users|GetSerialization status: "The domain cannot be reached." (CPSI_ERROR)
status texts on failure|users|FAILED at step "GetSerialization": expected S_OK; happened: 0x8007054B
a failure LogonUI goes on after|users|FAILED at step "serialization handed over": expected a logon buffer of message type 2
a failure LogonUI goes on after|users|(and 1 later failure(s), each on its line above); log: 
status texts on failure|wrong-password|ReportResult status: "Incorrect password or username." (CPSI_ERROR)
status texts on failure|wrong-password|VERDICT hxhost: passed (message type 2 handed over at +
a tile that hangs|hang|VERDICT hxhost: FAILED at step "GetSerialization": expected the call to return within 2000 ms; happened: the provider has not returned after 2000 ms (it hangs in this call)
a tile that crashes|crash|VERDICT hxhost: FAILED at step "GetCredentialAt": expected the call to return without an exception; happened: the provider crashed in GetCredentialAt: exception 0xC0000005 at HalvexTestFieldProvider.dll+0x
a tile that crashes|crash|Story (ms since the provider was created):
a tile that crashes|crash|     +0 ms  provider {6A4D2C10-93B7-4E21-8F5A-1D7C3B9E0A42} created through COM
a class nobody registered|unregistered|VERDICT hxhost: FAILED at step "create the provider": expected the class {00000000-0000-0000-0000-00000000BEEF} registered in this Wine prefix; happened: class not registered (0x80040154)
CASES
! grep -qF s3cret-in-field "$work"/*.out || fail "a password shown: s3cret-in-field"
[ -s "$work/tile.png" ] || fail "no tile picture"

if [ "$failures" -ne 0 ]; then
    echo "any provider: $failures check(s) failed"
    exit 1
fi
echo "any provider: every check passed"
