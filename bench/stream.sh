#!/usr/bin/env bash
# helixmate-stream beside `cat` and `tr ACGT TGCA` on five kinds of strand file of about
# 100 MB each, the shapes real sequence data comes in; every output to /dev/null. The three
# run in turn on the same file, `runs` times over, and the table gives the medians. Then
# the peak memory of helixmate-stream on 1 MB and on 1 GB, and which vector path it takes
# on this processor. Needs GNU time (Debian package `time`).
#   bash bench/stream.sh [runs] [program]
# `program` defaults to the release build's helixmate-stream.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
data=$root/bench/data
runs=${1:-7}
mkdir -p "$data"

cmake --preset release -S "$root" >/dev/null
cmake --build "$build" >/dev/null
program=${2:-$build/bin/helixmate-stream}

# shape name, line length, and the letters: "clean" ACGT only, "mixed" 70% ACGT, 20% acgt
# and 10% N, "one-n" ACGT with one N per line.
shapes=(
  "200 letters, ACGT only|200|clean"
  "60 letters, ACGT only|60|clean"
  "10 letters, ACGT only|10|clean"
  "60 letters: 70% ACGT, 20% acgt, 10% N|60|mixed"
  "200 letters, ACGT and one N|200|one-n"
)

# About 1 MB of lines of one shape, made the same way every time.
block() { # length letters seed
  awk -v length_="$1" -v letters="$2" -v seed="$3" 'BEGIN {
    srand(seed)
    for (size = 0; size < 1000000; size += length_ + 1) {
      line = ""; n = int(rand() * length_)
      for (j = 0; j < length_; j++) {
        r = rand()
        if (letters == "mixed" && r >= 0.9) c = "N"
        else if (letters == "mixed" && r >= 0.7) c = substr("acgt", int(rand() * 4) + 1, 1)
        else if (letters == "one-n" && j == n) c = "N"
        else c = substr("ACGT", int(rand() * 4) + 1, 1)
        line = line c
      }
      print line
    }
  }'
}

# The file of a shape: its count line, then `copies` blocks.
strands() { # file block copies
  local lines
  lines=$(wc -l <"$2")
  { echo $((lines * $3)); for _ in $(seq "$3"); do cat "$2"; done; } >"$1"
}

nanoseconds() { # command... : one run, from the file on standard input to /dev/null
  local start end
  start=$(date +%s%N)
  "$@" <"$input" >/dev/null
  end=$(date +%s%N)
  echo $((end - start))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() { awk -v ns="$1" 'BEGIN { printf "%.3f", ns / 1e9 }'; }

printf '%-40s %8s %8s %8s %8s %8s\n' "kind of line (100 MB)" cat tr ours "/cat" "/tr"
seed=10
for shape in "${shapes[@]}"; do
  IFS='|' read -r name length letters <<<"$shape"
  seed=$((seed + 1))
  body=$data/strands-$length-$letters.body
  input=$data/strands-$length-$letters-100mb.txt
  [ -f "$body" ] || block "$length" "$letters" "$seed" >"$body"
  [ -f "$input" ] || strands "$input" "$body" 100
  cat_runs=() tr_runs=() our_runs=()
  # One run of each first, untimed, so that the file is in memory and the processor awake.
  nanoseconds cat >/dev/null && nanoseconds tr ACGT TGCA >/dev/null && nanoseconds "$program" >/dev/null
  for _ in $(seq "$runs"); do
    cat_runs+=("$(nanoseconds cat)")
    tr_runs+=("$(nanoseconds tr ACGT TGCA)")
    our_runs+=("$(nanoseconds "$program")")
  done
  cat_ns=$(printf '%s\n' "${cat_runs[@]}" | median)
  tr_ns=$(printf '%s\n' "${tr_runs[@]}" | median)
  our_ns=$(printf '%s\n' "${our_runs[@]}" | median)
  printf '%-40s %8s %8s %8s %7.2fx %7.2fx\n' "$name" "$(seconds "$cat_ns")" \
    "$(seconds "$tr_ns")" "$(seconds "$our_ns")" \
    "$(awk -v a="$our_ns" -v b="$cat_ns" 'BEGIN { print a / b }')" \
    "$(awk -v a="$our_ns" -v b="$tr_ns" 'BEGIN { print a / b }')"
done
echo "medians of $runs paired runs, seconds"

small=$data/strands-1mb.txt
large=$data/strands-1gb.txt
[ -f "$small" ] || strands "$small" "$data/strands-200-clean.body" 1
[ -f "$large" ] || strands "$large" "$data/strands-200-clean.body" 1000
peak_kb() { { /usr/bin/time -f %M "$program" <"$1" >/dev/null; } 2>&1; }
echo "peak memory: $(peak_kb "$small") KB on 1 MB, $(peak_kb "$large") KB on 1 GB"

if [ -f "$root/helixmate/strand_lines.cpp" ]; then
  c++ -std=c++20 -O2 -I"$root/helixmate" -o "$data/vector-path" "$root/bench/vector_path.cpp" \
    "$root/helixmate/strand_lines.cpp"
  echo "vector path on this processor: $("$data/vector-path")"
fi
