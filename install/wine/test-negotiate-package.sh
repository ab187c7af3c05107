#!/usr/bin/env bash
# Wine's LSA offers no "Negotiate" package. For the demo and the tests this installs (or removes) a test
# package that only names itself "Negotiate", so that the provider's logon serialization can be shown end
# to end: usage test-negotiate-package.sh install BIN_DIR | remove
# Wine loads LSA packages when a process starts: install before starting the programs that need it.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX}"
key='HKLM\System\CurrentControlSet\Control\Lsa\hxtestnegotiate'
target="$WINEPREFIX/drive_c/windows/system32/hxtestnegotiate.dll"
case "${1:-}" in
    install)
        cp "$2/hxtestnegotiate.dll" "$target"
        wine reg add "$key" /f >/dev/null 2>&1
        ;;
    remove)
        wine reg delete "$key" /f >/dev/null 2>&1 || true
        rm -f "$target"
        ;;
    *)
        echo "usage: $0 install BIN_DIR | remove" >&2
        exit 2
        ;;
esac
