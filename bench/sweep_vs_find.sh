#!/usr/bin/env bash
# sweep_vs_find.sh [ROUNDS]: times tarnwell against find on folders of dated logs on the
# local disk, in paired rounds on fresh identical copies (see compare in common.sh), and
# prints per case the median of the per-round ratios of wall time and the medians of
# wall and CPU time (user+sys). It reports; it does not judge.
#   old100k, old300k, old1m: all old; tarnwell /DeleteAfterDays=7 vs find -delete
#   young100k: nothing to delete; tarnwell vs find -print > /dev/null, on one warm folder
#   old10k, sample100k (asked for by name): 10,000 old files; a folder as it is found,
#   10% old (a few read-only), 10% no dated log, where find deletes the same files
# TARNWELL_BENCH_CASES picks the cases (default: old100k old300k old1m young100k), and
# TARNWELL_BENCH_DIR the scratch place (default /var/tmp; tmpfs would flatter both).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
rounds=${1:-5}
program=${TARNWELL_PROGRAM:-build/native/app/tarnwell}
prepare "$program" tarnwell bench
[ "$(stat -f -c %T "$scratch")" != tmpfs ] || echo "warning: $scratch is on tmpfs" >&2

old=$(date -d '30 days ago' +%Y%m%d)
tarnwell() { "$program" /DeleteAfterDays=7 "/Path=$1"; }
find_delete() { find "$1" -maxdepth 1 -type f -name '*.????????.log' -delete; }
# The same files tarnwell deletes in a sample folder: old ones with a write bit.
find_delete_old() { find "$1" -maxdepth 1 -type f -name "*.$old.log" -perm /222 -delete; }
find_print() { find "$1" -maxdepth 1 -type f -name '*.????????.log' -print; }

# bench NAME KIND COUNT REFERENCE COPY(yes|no)
bench() {
  local name=$1 kind=$2 count=$3 reference=$4 copy=$5
  rm -rf "$scratch/source"
  bench/make_logs.sh "$scratch/source" "$count" "$kind"
  [ "$copy" = yes ] || tarnwell "$scratch/source" >/dev/null # warm the cache for both
  compare "$name" "$scratch/source" "$copy" "$rounds" tarnwell "$reference"
  rm -rf "$scratch/source"
}

echo "$rounds rounds, scratch $scratch ($(stat -f -c %T "$scratch")), $(nproc) cores, load $(load)"
echo "tarnwell: $program /DeleteAfterDays=7 /Path=DIR; ratio: median of per-round ratios"
for c in ${TARNWELL_BENCH_CASES:-old100k old300k old1m young100k}; do
  case $c in
    old100k) bench "old 100000" old 100000 find_delete yes ;;
    old300k) bench "old 300000" old 300000 find_delete yes ;;
    old1m) bench "old 1000000" old 1000000 find_delete yes ;;
    old10k) bench "old 10000" old 10000 find_delete yes ;;
    sample100k) bench "sample 100000" sample 100000 find_delete_old yes ;;
    young100k) bench "young 100000" young 100000 find_print no ;;
    *) echo "sweep_vs_find.sh: no case $c" >&2 && exit 2 ;;
  esac
done
