#!/usr/bin/env bash
# fetch-jsoncpp.sh DIR: puts the sources of jsoncpp 1.9.5, from Debian's source package libjsoncpp, into
# DIR/source, once. The package comes through an apt configuration of DIR's own (a deb-src entry for the
# archive and suite this machine installs from); the machine's own apt sources, lists and caches are left
# as they are. Any other version in the archive stops with one line. A second run only checks the stamp.
set -euo pipefail
wanted=1.9.5
dir="$(mkdir -p "$1" && cd "$1" && pwd)"
stamp="$dir/source/.fetched-$wanted"
[ -f "$stamp" ] && exit 0

fail() {
    echo "jsoncpp: $*" >&2
    exit 1
}

# The first "deb" entry of the Debian archive (not its security or updates suites) in the machine's sources,
# in either format, as "URI SUITE SIGNED-BY".
machine_archive() {
    local files=() file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && files+=("$file")
    done
    [ ${#files[@]} -gt 0 ] || return 0
    awk '
        function take(types, uris, suites, signed,   n, u, s, i, j) {
            if (found || types !~ /(^| )deb( |$)/) return
            n = split(uris, u, " "); split(suites, s, " ")
            for (i = 1; i <= n; i++) if (u[i] ~ /\/debian\/?$/)
                for (j in s) if (s[j] !~ /-/) { print u[i], s[j], signed; found = 1; return }
        }
        FNR == 1 { take(t, u, s, k); t = u = s = k = "" }
        FILENAME ~ /\.sources$/ {
            if ($0 ~ /^[ \t]*$/) { take(t, u, s, k); t = u = s = k = ""; next }
            if ($1 == "Types:") { $1 = ""; t = $0 } else if ($1 == "URIs:") { $1 = ""; u = $0 }
            else if ($1 == "Suites:") { $1 = ""; s = $0 } else if ($1 == "Signed-By:") k = $2
            next
        }
        $1 == "deb" {
            signed = ""
            if ($2 ~ /^\[/) { if (match($0, /signed-by=[^] ]+/)) signed = substr($0, RSTART + 10, RLENGTH - 10)
                              sub(/\[[^]]*\] */, "") }
            take("deb", $2, $3, signed)
        }
        END { take(t, u, s, k) }
    ' "${files[@]}" 2>/dev/null
}

read -r uri suite signed_by < <(machine_archive) || true
[ -n "${uri:-}" ] || fail "no Debian archive entry found in /etc/apt/sources.list*"

apt_dir="$dir/apt"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
echo "deb-src ${signed_by:+[signed-by=$signed_by] }$uri $suite main" >"$apt_dir/sources.list"
apt_options=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
             -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o APT::Sandbox::User=root)

log="$dir/fetch.log"
download="$dir/download"
rm -rf "$download" "$dir/source"
mkdir -p "$download"
if ! apt-get "${apt_options[@]}" -q update >"$log" 2>&1 ||
   ! (cd "$download" && apt-get "${apt_options[@]}" -q source --download-only libjsoncpp) >>"$log" 2>&1; then
    fail "apt-get source libjsoncpp from $uri $suite failed (see $log)"
fi

dsc=("$download"/libjsoncpp_*.dsc)
version="$(sed -n 's/^Version: \([^-]*\).*/\1/p' "${dsc[0]}")"
[ "$version" = "$wanted" ] || fail "the archive offers libjsoncpp ${version:-of unknown version}, the build needs $wanted"

mkdir -p "$dir/source"
tarball=("$download"/libjsoncpp_"$wanted".orig.tar.*)
tar -xf "${tarball[0]}" -C "$dir/source" --strip-components=1
[ -f "$dir/source/include/json/reader.h" ] || fail "the libjsoncpp $wanted tarball has no include/json/reader.h"
touch "$stamp"
