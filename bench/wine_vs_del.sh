#!/usr/bin/env bash
# wine_vs_del.sh [N] [ROUNDS]: under Wine, times Tarnwell.exe against `cmd /c del` of the
# same pattern on fresh identical copies of a folder of N old dated logs (default 10000),
# taking turns going first, and prints the median of the per-round ratios. Wine's file
# system layer dominates both, so the figure is indicative only. Run it through
# scripts/with-wine.sh for a throw-away prefix:
#   scripts/with-wine.sh bench/wine_vs_del.sh 10000 5
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-10000}
rounds=${2:-5}
program=${TARNWELL_PROGRAM:-build/windows/app/Tarnwell.exe}
scratch=$(mktemp -d "${TARNWELL_BENCH_DIR:-/var/tmp}/tarnwell-wine-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
measure() {  # COMMAND...: wall milliseconds
  local TIMEFORMAT='%R'
  { time "$@" >/dev/null 2>&1; } 2>"$scratch/time"
  awk '{ printf "%d\n", $1 * 1000 }' "$scratch/time"
}
tarnwell() { wine "$program" /DeleteAfterDays=7 "/Path=$(winepath -w "$1")" /Silent; }
del() { wine cmd /c del /q "$(winepath -w "$1")\\*.????????.log"; }

bench/make_logs.sh "$scratch/source" "$count" old
wine cmd /c exit 0 # start Wine once before timing anything
ratios=() ours=() theirs=()
for ((round = 0; round < rounds; round++)); do
  cp -a "$scratch/source" "$scratch/a"
  cp -a "$scratch/source" "$scratch/b"
  sync
  if ((round % 2)); then
    t=$(measure del "$scratch/b")
    o=$(measure tarnwell "$scratch/a")
  else
    o=$(measure tarnwell "$scratch/a")
    t=$(measure del "$scratch/b")
  fi
  left=$(find "$scratch/a" "$scratch/b" -type f | wc -l)
  [ "$left" -eq 0 ] || echo "warning: $left files left" >&2
  ours+=("$o") theirs+=("$t")
  ratios+=("$(awk -v a="$o" -v b="$t" 'BEGIN { printf "%.3f", b ? a / b : 0 }')")
  rm -rf "$scratch/a" "$scratch/b"
done
printf 'Wine, %d old files: ratio %s   Tarnwell.exe %s ms   cmd /c del %s ms   per round: [%s] [%s] [%s]\n' \
  "$count" "$(printf '%s\n' "${ratios[@]}" | median)" "$(printf '%s\n' "${ours[@]}" | median)" \
  "$(printf '%s\n' "${theirs[@]}" | median)" "${ratios[*]}" "${ours[*]}" "${theirs[*]}"
