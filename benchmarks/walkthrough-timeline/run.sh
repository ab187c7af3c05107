#!/usr/bin/env bash
# The median story of each road of the walk-through over several runs: for every event of a road's story
# (the n-th line with the same text counts as its own event), the median of its ms since the tile was
# selected, and the smallest and largest. Run from the repository root after a build:
#   bash benchmarks/walkthrough-timeline/run.sh [RUNS]   (default 5; the demo's delays)
set -euo pipefail
runs="${1:-5}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"
out="$build_dir/walkthrough-timeline"
rm -rf "$out"
source "$root/scripts/wine-env.sh"
trap wine_env_down EXIT
wine_env_up "$build_dir" >/dev/null 2>&1
for run in $(seq "$runs"); do
    bash "$root/scripts/walkthrough.sh" "$build_dir/bin" "$out/run-$run" >/dev/null || { echo "run $run failed"; exit 1; }
    echo "run $run of $runs passed"
done

# Story lines look like "     +1234 ms  text"; the median of each road's n-th "text" over the runs.
for road_file in "$out"/run-1/*-host.txt; do
    road="$(basename "$road_file" -host.txt)"
    echo "=== $road (median of $runs runs; smallest..largest) ==="
    for run in $(seq "$runs"); do
        awk -v run="$run" '/^ +[+-][0-9]+ ms  / {
            ms = $1; sub(/^\+/, "", ms); text = $0; sub(/^ +[+-][0-9]+ ms  /, "", text)
            gsub(/pid=[0-9]+/, "", text); seen[text]++; print run "\t" seen[text] "\t" ms "\t" text }' \
            "$out/run-$run/$road-host.txt"
    done | awk -F'\t' '
        { key = $2 "\t" $4; if (!(key in count)) order[++keys] = key; values[key, ++count[key]] = $3 + 0 }
        END {
            for (k = 1; k <= keys; k++) {
                key = order[k]; n = count[key]
                for (i = 1; i <= n; i++) sorted[i] = values[key, i]
                for (i = 2; i <= n; i++) for (j = i; j > 1 && sorted[j - 1] > sorted[j]; j--) {
                    t = sorted[j]; sorted[j] = sorted[j - 1]; sorted[j - 1] = t }
                median = n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
                split(key, parts, "\t")
                printf "  %+7d ms  (%d..%d)  %s\n", median, sorted[1], sorted[n], parts[2]
            }
        }'
done
