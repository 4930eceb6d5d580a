#!/usr/bin/env bash
# Saving and opening a mailbox of 10,000 letters (about 150 MB) against cp of
# the same file, and the peak memory of opening it against the file's size.
#   bench/model/box_file_bench.sh [RUNS]   (after a build into build/)
# Prints each run and the medians; the goals are a time ratio under 5 and a
# memory ratio of at most 1.5.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/../.."
runs=${1:-5}
bench=build/bench/model/box_file_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN {printf "%.4f\n", ns / 1e9}'
}

: >"$work/save" >"$work/open" >"$work/cp" >"$work/cp_sync" >"$work/rss"
for run in $(seq "$runs"); do
  rm -f "$work/bench.box" "$work/copy.box"
  "$bench" make "$work" | tee /dev/stderr | awk '{print $2}' >>"$work/save"
  size=$(stat -c %s "$work/bench.box")
  seconds cp "$work/bench.box" "$work/copy.box" >>"$work/cp"
  rm -f "$work/copy.box"
  seconds dd if="$work/bench.box" of="$work/copy.box" bs=1M conv=fsync status=none >>"$work/cp_sync"
  /usr/bin/time -v "$bench" open "$work/bench.box" 2>"$work/time.log" | tee /dev/stderr |
    awk '{print $2}' >>"$work/open"
  awk -F': ' '/Maximum resident set size/ {print $2 * 1024}' "$work/time.log" >>"$work/rss"
  echo "run $run: file $size bytes, cp $(tail -1 "$work/cp") s, cp+fsync $(tail -1 "$work/cp_sync") s," \
    "peak $(tail -1 "$work/rss") bytes" >&2
done
save=$(median <"$work/save")
open=$(median <"$work/open")
cp=$(median <"$work/cp")
cp_sync=$(median <"$work/cp_sync")
rss=$(median <"$work/rss")
size=$(stat -c %s "$work/bench.box")
awk -v save="$save" -v open="$open" -v cp="$cp" -v cps="$cp_sync" -v rss="$rss" -v size="$size" \
  -v runs="$runs" 'BEGIN {
  printf "medians of %d runs: file %d bytes; save %.3f s, open %.3f s, cp %.3f s, cp with fsync %.3f s\n",
    runs, size, save, open, cp, cps
  printf "save / cp %.2f (save / cp with fsync %.2f), open / cp %.2f (goal: under 5)\n",
    save / cp, save / cps, open / cp
  printf "peak memory while open / file size %.2f (goal: at most 1.5)\n", rss / size
}'
