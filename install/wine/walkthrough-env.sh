# Sourced by the demo and the walk-through test: the machine the walk-through runs on, in $WINEPREFIX.
#   walkthrough_up BIN_DIR    the signed layout (BIN_DIR/../signed) registered as the provider, the
#                             "Halvex" service stand-in, the test "Negotiate" package, CORP\alice as the
#                             last logged-on user, no last provider
#   walkthrough_down BIN_DIR  undoes it and registers BIN_DIR's own module again
walkthrough_here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
walkthrough_logonui_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Authentication\LogonUI'

walkthrough_up() {
    local bin_dir signed
    bin_dir="$(cd "$1" && pwd)"
    signed="$(cd "$bin_dir/.." && pwd)/signed"
    "$walkthrough_here/sign-layout.sh" "$bin_dir" "$signed"
    "$walkthrough_here/register.sh" "$signed"
    wine "$signed/hxsvcctl.exe" install >/dev/null
    "$walkthrough_here/test-negotiate-package.sh" install "$bin_dir" >/dev/null
    wine reg add "$walkthrough_logonui_key" /v LastLoggedOnSAMUser /d 'CORP\alice' /f >/dev/null 2>&1
    # The disconnect road is seen by this value changing to the provider's class id.
    wine reg delete "$walkthrough_logonui_key" /v LastLoggedOnProvider /f >/dev/null 2>&1 || true
}

walkthrough_down() {
    "$walkthrough_here/enable-logging.sh" --off >/dev/null 2>&1 || true
    "$walkthrough_here/test-negotiate-package.sh" remove >/dev/null 2>&1 || true
    wine reg delete "$walkthrough_logonui_key" /v LastLoggedOnSAMUser /f >/dev/null 2>&1 || true
    wine reg delete "$walkthrough_logonui_key" /v LastLoggedOnProvider /f >/dev/null 2>&1 || true
    "$walkthrough_here/register.sh" "$1" || true
}
