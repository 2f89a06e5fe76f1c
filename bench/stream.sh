#!/usr/bin/env bash
# helixmate-stream against `tr ACGT TGCA` on about 250 MB of 200-letter strands, side by
# side in one run with both outputs to /dev/null; then the peak memory of helixmate-stream
# on that file and on a 1 MB one. Needs GNU time (Debian package `time`).
#   bash bench/stream.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
data=$root/bench/data
runs=${1:-5}
mkdir -p "$data"

cmake --preset release -S "$root" >/dev/null
cmake --build "$build" >/dev/null

# 1 MB of random strands, then 250 of them for the large file; each with its count line.
block=$data/strands-1mb.body
if [ ! -f "$block" ]; then
  awk 'BEGIN { srand(4); for (i = 0; i < 4975; i++) { line = "";
         for (j = 0; j < 200; j++) line = line substr("ACGT", int(rand() * 4) + 1, 1); print line } }' >"$block"
fi
small=$data/strands-1mb.txt
large=$data/strands-250mb.txt
lines=$(wc -l <"$block")
[ -f "$small" ] || { echo "$lines"; cat "$block"; } >"$small"
if [ ! -f "$large" ]; then
  { echo $((lines * 250)); for _ in $(seq 250); do cat "$block"; done; } >"$large"
fi

seconds() { # command... : the best elapsed time of $runs runs
  local best=
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" <"$large" >/dev/null
    end=$(date +%s%N)
    best=$(awk -v a=$((end - start)) -v b="${best:-$((end - start))}" 'BEGIN { print (a < b ? a : b) }')
  done
  awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e9 }'
}
peak_kb() { { /usr/bin/time -f %M "$build/bin/helixmate-stream" <"$1" >/dev/null; } 2>&1; }

tr_s=$(seconds tr ACGT TGCA)
ours_s=$(seconds "$build/bin/helixmate-stream")
echo "file: $(du -h "$large" | cut -f1), best of $runs runs"
echo "tr ACGT TGCA:      $tr_s s"
echo "helixmate-stream:  $ours_s s"
awk -v a="$ours_s" -v b="$tr_s" 'BEGIN { printf "ratio:             %.2f of tr\n", a / b }'
echo "peak memory:       $(peak_kb "$large") KB on 250 MB, $(peak_kb "$small") KB on 1 MB"
