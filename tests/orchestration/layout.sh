#!/usr/bin/env bash
# The orchestration tests' signed layout: "up" signs the files into SIGNED_DIR and registers the provider
# from there (the UI application is looked for beside the registered module); "down" registers the
# build's own module again for the test entries that follow.
#   usage: layout.sh up|down BIN_DIR SIGNED_DIR [EXTRA_EXE...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../install/wine" && pwd)"
action="$1" bin_dir="$2" signed_dir="$3"
shift 3
if [ "$action" = up ]; then
    "$here/sign-layout.sh" "$bin_dir" "$signed_dir" "$@"
    "$here/register.sh" "$signed_dir"
else
    "$here/register.sh" "$bin_dir"
fi
