#!/usr/bin/env bash
# sweep_vs_find.sh [N] [RUNS]: times tarnwell against find on folders of N dated logs
# (default 100000) on the local disk, RUNS times each (default 5), and prints the medians
# and their ratio. It reports; it does not judge.
#   all old:   tarnwell /DeleteAfterDays=7 vs find -delete, each on its own identical copy
#   all young: nothing to delete; tarnwell vs find -print > /dev/null on the same folder
# TARNWELL_BENCH_DIR picks the scratch place (default /var/tmp; tmpfs would flatter both).
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-100000}
runs=${2:-5}
program=${TARNWELL_PROGRAM:-build/native/app/tarnwell}

if [ ! -x "$program" ]; then
  cmake --preset native >/dev/null && cmake --build --preset native --target tarnwell >/dev/null
fi
scratch=$(mktemp -d "${TARNWELL_BENCH_DIR:-/var/tmp}/tarnwell-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
[ "$(stat -f -c %T "$scratch")" != tmpfs ] || echo "warning: $scratch is on tmpfs" >&2

pattern='*.????????.log'
now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
# time_ms COMMAND...: runs the command with its output discarded, prints milliseconds.
time_ms() {
  local start
  start=$(now_ms)
  "$@" >/dev/null
  echo $(($(now_ms) - start))
}
sweep() { "$program" /DeleteAfterDays=7 "/Path=$1"; }
find_delete() { find "$1" -maxdepth 1 -type f -name "$pattern" -delete; }
find_print() { find "$1" -maxdepth 1 -type f -name "$pattern" -print; }

report() {  # NAME GOAL TARNWELL_TIMES FIND_TIMES
  local ours theirs
  ours=$(tr ' ' '\n' <<<"$3" | median)
  theirs=$(tr ' ' '\n' <<<"$4" | median)
  printf '%-10s tarnwell %6s ms   find %6s ms   ratio %s (goal <= %s)   runs: tarnwell [%s] find [%s]\n' \
    "$1" "$ours" "$theirs" "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", b ? a / b : 0 }')" \
    "$2" "$3" "$4"
}

echo "N=$count files, $runs runs each, scratch $scratch ($(stat -f -c %T "$scratch")), $(nproc) cores"
echo "tarnwell: $program /DeleteAfterDays=7 /Path=DIR"

bench/make_logs.sh "$scratch/old" "$count" old
ours=() theirs=()
for ((run = 0; run < runs; run++)); do
  cp -a "$scratch/old" "$scratch/a"
  cp -a "$scratch/old" "$scratch/b"
  sync
  # Alternate who goes first, so neither always meets the colder cache.
  if ((run % 2)); then
    theirs+=("$(time_ms find_delete "$scratch/b")")
    ours+=("$(time_ms sweep "$scratch/a")")
  else
    ours+=("$(time_ms sweep "$scratch/a")")
    theirs+=("$(time_ms find_delete "$scratch/b")")
  fi
  left=$(find "$scratch/a" "$scratch/b" -type f | wc -l)
  [ "$left" -eq 0 ] || echo "warning: $left files left after the old-files run" >&2
  rm -rf "$scratch/a" "$scratch/b"
done
report "all old" 1.10 "${ours[*]}" "${theirs[*]}"

bench/make_logs.sh "$scratch/young" "$count" young
sweep "$scratch/young" >/dev/null  # warm the cache for both
ours=() theirs=()
for ((run = 0; run < runs; run++)); do
  ours+=("$(time_ms sweep "$scratch/young")")
  theirs+=("$(time_ms find_print "$scratch/young")")
done
report "all young" 1.5 "${ours[*]}" "${theirs[*]}"
