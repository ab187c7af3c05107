#!/usr/bin/env bash
# usage: check-module-tables.sh OBJDUMP PROVIDER_DLL RESOURCE_DLL...
# The provider must be a 64-bit PE that exports exactly DllCanUnloadNow and DllGetClassObject and imports
# only Windows system DLLs (the C/C++ runtime is linked statically); the resource modules import nothing.
set -u
objdump="$1"; provider="$2"; shift 2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Windows' own DLLs (lower case). msvcrt.dll is the operating system's C library, not a redistributable.
system_dlls=" advapi32.dll kernel32.dll user32.dll gdi32.dll ole32.dll oleaut32.dll shlwapi.dll shell32.dll "
system_dlls+=" wtsapi32.dll secur32.dll crypt32.dll wintrust.dll msvcrt.dll ntdll.dll version.dll userenv.dll "
system_dlls+=" rpcrt4.dll sspicli.dll "

headers="$("$objdump" -p "$provider")"
grep -q "^Magic.*020b" <<<"$headers" && pass "PE32+ (64-bit)" || fail "not a PE32+ image"
grep -q "x86-64" <<<"$("$objdump" -f "$provider")" && pass "x86-64" || fail "not x86-64"

exports="$(sed -n '/Ordinal\/Name Pointer/,/^$/p' <<<"$headers" | grep -E '^\s+\[' | sed -E 's/^\s+\[ *[0-9]+\] //' | sort)"
expected="$(printf 'DllCanUnloadNow\nDllGetClassObject')"
if [ "$exports" = "$expected" ]; then pass "exports: $(echo $exports)"; else fail "exports are: $(echo $exports)"; fi

imports="$(grep 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}')"
[ -n "$imports" ] || fail "no imports found"
for dll in $imports; do
    case "$system_dlls" in
        *" $dll "*) pass "import $dll" ;;
        *) fail "non-system import $dll" ;;
    esac
done

for module in "$@"; do
    module_headers="$("$objdump" -p "$module")"
    if grep -q 'DLL Name:' <<<"$module_headers"; then
        fail "$(basename "$module") imports $(grep 'DLL Name:' <<<"$module_headers" | awk '{print $3}' | xargs)"
    else
        pass "$(basename "$module") is resource-only"
    fi
done

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "module tables as expected"
