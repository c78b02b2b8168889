#!/usr/bin/env bash
# sweep_vs_find.sh [ROUNDS]: times tarnwell against find on folders of dated logs on the
# local disk and prints, per case, the median of the per-round ratios of wall time and the
# medians of CPU time (user+sys). It reports; it does not judge. In every round each tool
# gets its own fresh copy of the same folder, and the tools take turns going first.
#   old 100000 / old 10000: all old; tarnwell /DeleteAfterDays=7 vs find -delete
#   sample 100000: 10% old (a few read-only), 10% no dated log; find deletes the same files
#   young 100000: nothing to delete; tarnwell vs find -print > /dev/null
# TARNWELL_BENCH_DIR picks the scratch place (default /var/tmp; tmpfs would flatter both).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
program=${TARNWELL_PROGRAM:-build/native/app/tarnwell}

if [ ! -x "$program" ]; then
  cmake --preset native >/dev/null && cmake --build --preset native --target tarnwell >/dev/null
fi
scratch=$(mktemp -d "${TARNWELL_BENCH_DIR:-/var/tmp}/tarnwell-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
[ "$(stat -f -c %T "$scratch")" != tmpfs ] || echo "warning: $scratch is on tmpfs" >&2

old=$(date -d '30 days ago' +%Y%m%d)
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
# measure COMMAND...: "wall_ms cpu_ms" of one run, its output discarded.
measure() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" >/dev/null 2>&1; } 2>"$scratch/time"
  awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' "$scratch/time"
}
tarnwell() { "$program" /DeleteAfterDays=7 "/Path=$1"; }
find_delete() { find "$1" -maxdepth 1 -type f -name '*.????????.log' -delete; }
# The same files tarnwell deletes in a sample folder: old ones with a write bit.
find_delete_old() { find "$1" -maxdepth 1 -type f -name "*.$old.log" -perm /222 -delete; }
find_print() { find "$1" -maxdepth 1 -type f -name '*.????????.log' -print; }

# bench NAME KIND COUNT FIND_FUNCTION COPY(yes|no)
bench() {
  local name=$1 kind=$2 count=$3 reference=$4 copy=$5 round ours theirs
  local ratios=() our_cpu=() their_cpu=() our_wall=() their_wall=()
  rm -rf "$scratch/source"
  bench/make_logs.sh "$scratch/source" "$count" "$kind"
  [ "$copy" = yes ] || tarnwell "$scratch/source" >/dev/null # warm the cache for both
  for ((round = 0; round < rounds; round++)); do
    local a=$scratch/source b=$scratch/source
    if [ "$copy" = yes ]; then
      a=$scratch/a b=$scratch/b
      cp -a "$scratch/source" "$a"
      cp -a "$scratch/source" "$b"
      sync
    fi
    if ((round % 2)); then
      theirs=$(measure "$reference" "$b")
      ours=$(measure tarnwell "$a")
    else
      ours=$(measure tarnwell "$a")
      theirs=$(measure "$reference" "$b")
    fi
    if [ "$copy" = yes ] && ! diff <(ls "$a") <(ls "$b") >/dev/null; then
      echo "warning: $name: tarnwell and find left different files" >&2
    fi
    read -r ow oc <<<"$ours"
    read -r tw tc <<<"$theirs"
    our_wall+=("$ow") their_wall+=("$tw") our_cpu+=("$oc") their_cpu+=("$tc")
    ratios+=("$(awk -v a="$ow" -v b="$tw" 'BEGIN { printf "%.3f", b ? a / b : 0 }')")
    [ "$copy" = no ] || rm -rf "$a" "$b"
  done
  printf '%-14s ratio %s   wall ms tarnwell %s find %s   cpu ms tarnwell %s find %s\n' "$name" \
    "$(printf '%s\n' "${ratios[@]}" | median)" \
    "$(printf '%s\n' "${our_wall[@]}" | median)" "$(printf '%s\n' "${their_wall[@]}" | median)" \
    "$(printf '%s\n' "${our_cpu[@]}" | median)" "$(printf '%s\n' "${their_cpu[@]}" | median)"
  printf '               per round: ratios [%s] tarnwell [%s] find [%s]\n' "${ratios[*]}" \
    "${our_wall[*]}" "${their_wall[*]}"
}

echo "$rounds rounds, scratch $scratch ($(stat -f -c %T "$scratch")), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "tarnwell: $program /DeleteAfterDays=7 /Path=DIR; medians of per-round ratios"
cases=${TARNWELL_BENCH_CASES:-"old100k old10k sample100k young100k"}
for c in $cases; do
  case $c in
    old100k) bench "old 100000" old 100000 find_delete yes ;;
    old10k) bench "old 10000" old 10000 find_delete yes ;;
    sample100k) bench "sample 100000" sample 100000 find_delete_old yes ;;
    young100k) bench "young 100000" young 100000 find_print no ;;
  esac
done
