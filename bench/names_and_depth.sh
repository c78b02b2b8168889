#!/usr/bin/env bash
# names_and_depth.sh [ROUNDS]: what /Names and /Depth cost, in paired rounds on the local
# disk (compare in common.sh). It reports; it does not judge.
#   names: 100,000 young logs (nothing deleted), /Names=*.{yyyyMMdd}.log beside the default
#          shape on one warm folder: the pattern's reading against the direct one
#   tree:  1,000 folders of 100 young logs, two levels deep (10 x 100), /Depth=2 beside
#          find -mindepth 1 -maxdepth 3 -type f -name '*.????????.log' -print
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
rounds=${1:-5}
program=${TARNWELL_PROGRAM:-build/native/app/tarnwell}
prepare "$program" tarnwell names

shape() { "$program" /DeleteAfterDays=7 "/Path=$1"; }
pattern() { "$program" /DeleteAfterDays=7 "/Path=$1" '/Names=*.{yyyyMMdd}.log'; }
walk() { "$program" /DeleteAfterDays=7 "/Path=$1" /Depth=2; }
find_print() { find "$1" -mindepth 1 -maxdepth 3 -type f -name '*.????????.log' -print; }

echo "$rounds rounds, scratch $scratch ($(stat -f -c %T "$scratch")), $(nproc) cores, load $(load)"
bench/make_logs.sh "$scratch/names" 100000 young
shape "$scratch/names" >/dev/null # warm the cache for both
compare "names 100000" "$scratch/names" no "$rounds" pattern shape
rm -rf "$scratch/names"

for ((a = 0; a < 10; a++)); do
  for ((b = 0; b < 100; b++)); do bench/make_logs.sh "$scratch/tree/site$a/day$b" 100 young; done
done
walk "$scratch/tree" >/dev/null
compare "tree 1000x100" "$scratch/tree" no "$rounds" walk find_print
