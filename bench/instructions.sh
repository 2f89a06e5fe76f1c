#!/usr/bin/env bash
# Whole-process instruction counts, by callgrind, of each program the build makes, beside a
# straightforward C program with stdio doing the same job on the same input (where
# bench/reference/ has one). A program without an input made here runs on its example.
#   bash bench/instructions.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
data=$root/bench/data
mkdir -p "$data"

cmake --preset release -S "$root" >/dev/null
cmake --build "$build" >/dev/null

# The inputs, made the same way every time.
while read -r program; do cp "$root/examples/$program.txt" "$data/$program.txt"; done \
  <"$build/console-programs.txt"
awk 'BEGIN { srand(1); print 21, 21; for (r = 0; r < 21; r++) { line = "";
       for (c = 0; c < 21; c++) line = line int(rand() * 1000) " "; print line } }' >"$data/crestgrid.txt"
awk 'BEGIN { srand(2); printf "99"; for (i = 0; i < 99; i++) { n = int(rand() * 255); line = "";
       for (j = 0; j < n; j++) line = line substr("ACGT", int(rand() * 4) + 1, 1); printf "\n%s", line } print "" }' \
  >"$data/helixmate.txt"
cp "$data/helixmate.txt" "$data/helixmate-stream.txt"
awk 'BEGIN { srand(3); print 999, 5.0; for (i = 1; i <= 999; i++) printf "%d %.1f\n", i, rand() * 10 }' \
  >"$data/admitlist.txt"

count() { # program input
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" <"$2" 2>&1 >/dev/null |
    sed -n 's/.*Collected : //p'
}

printf '%-18s %12s %12s %7s\n' program ours "C stdio" ratio
while read -r program; do
  input=$data/$program.txt
  ours=$(count "$build/bin/$program" "$input")
  reference=$root/bench/reference/$program.c
  if [ -f "$reference" ]; then
    cc -O2 -w -o "$data/$program-c" "$reference" 2>/dev/null
    theirs=$(count "$data/$program-c" "$input")
    ratio=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')
  else
    theirs=- ratio=-
  fi
  printf '%-18s %12s %12s %7s\n' "$program" "$ours" "$theirs" "$ratio"
done <"$build/console-programs.txt"
