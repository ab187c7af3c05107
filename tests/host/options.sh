#!/usr/bin/env bash
# The command lines of the host and of the UI application stand-in: --help ends with status 0, a bad option
# or value with status 2 and an error naming it, before anything runs.
#   usage: options.sh BIN_DIR
set -euo pipefail
bin_dir="$(cd "$1" && pwd)"
failures=0
# program | status | what the output says | arguments | NAME=VALUE of the program's environment
while IFS='|' read -r program expected text arguments variable; do
    read -ra words <<<"$arguments"
    environment=()
    [ -z "$variable" ] || environment=("$variable")
    status=0
    output="$(env "${environment[@]}" timeout 30 wine "$bin_dir/$program" "${words[@]}" </dev/null 2>&1)" || status=$?
    if [ "$status" -ne "$expected" ] || [[ "$output" != *"$text"* ]]; then
        echo "$program $arguments: status $status (expected $expected), output: $output"
        echo "  expected: $text"
        failures=$((failures + 1))
    fi
done <<'RUNS'
hxhost.exe|0|Usage: hxhost [OPTIONS]|--help
hxhost.exe|2|--call-bound: not a decimal number: x|--call-bound x
hxhost.exe|2|--lang: more than 65535: 70000|--lang 70000
hxhost.exe|2|--instances: more than 4294967295: 4294967296|--instances 4294967296
hxhost.exe|2|--scenario|--scenario 1
hxhost.exe|2|--expect: not message-type=N|--expect message-type=x
hxhost.exe|2|--recognize: 3 required|--recognize CORP alice
hxhost.exe|2|--tile: 1 required|--tile
hxhost.exe|2|not expected: --bogus|--bogus
Corvani.Halvex.UI.exe|0|Usage: Corvani.Halvex.UI.exe [OPTIONS]|--help
Corvani.Halvex.UI.exe|2|--hang-up: not a decimal number: 2x|--hang-up 2x
Corvani.Halvex.UI.exe|2|--reply-bytes: more than 4294967295: 4294967296|--reply-bytes 4294967296
Corvani.Halvex.UI.exe|2|--credentials: 3 required|--credentials CORP alice
Corvani.Halvex.UI.exe|2|--reply-delay: not a decimal number: 1s|-l 1033|HX_UI_STANDIN_OPTIONS=--reply-delay 1s
Corvani.Halvex.UI.exe|2|not expected: --bogus|-l 1033 --bogus
RUNS
if [ "$failures" -ne 0 ]; then
    echo "options: $failures run(s) failed"
    exit 1
fi
echo "options: every bad command line refused with status 2, --help with 0"
