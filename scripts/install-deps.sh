#!/usr/bin/env bash
# Installs what the build, the tests and the demo need and is not yet on this Debian machine.
# Idempotent: when everything is present it only checks, in well under a second. jsoncpp comes as source
# (scripts/fetch-jsoncpp.sh, called by the builds), not as a package.
set -euo pipefail

packages=(
    cmake make
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64
    googletest
    xvfb xauth x11-apps
    osslsigncode openssl
    wixl msitools
    clang libfuzzer-14-dev zlib1g-dev
    libcli11-dev
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root to install packages." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"
