#!/usr/bin/env bash
# wine_vs_del.sh [N] [ROUNDS] [THREADS...]: under Wine, times Tarnwell.exe, its batches
# deleted by each number of THREADS in turn (default 1 2; forced through
# TARNWELL_DELETE_THREADS, which Wine hands on; 0: the program's own choice), against
# `cmd /c del` of the same pattern on fresh identical copies of a folder of N old dated
# logs (default 100000), in paired rounds (see compare in common.sh), and prints the median
# of the per-round ratios of wall time. Wine's file system layer and its server dominate
# both (the server's CPU time is not the timed command's), so the figure is indicative
# only. Run it through scripts/with-wine.sh for a throw-away prefix:
#   scripts/with-wine.sh bench/wine_vs_del.sh 100000 5 1 2
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
arguments 100000 "1 2" tarnwell "$@"
program=${TARNWELL_PROGRAM:-build/windows/app/Tarnwell.exe}
scratch=$(mktemp -d "${TARNWELL_BENCH_DIR:-/var/tmp}/tarnwell-wine-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# tarnwell THREADS DIR
tarnwell() {
  TARNWELL_DELETE_THREADS=$1 wine "$program" /DeleteAfterDays=7 "/Path=$(winepath -w "$2")" /Silent
}
del() { wine cmd /c del /q "$(winepath -w "$1")\\*.????????.log"; }

echo "Wine $(wine --version), $count old files, $rounds rounds, scratch $scratch, load $(load)"
bench/make_logs.sh "$scratch/source" "$count" old
wine cmd /c exit 0 # start Wine once before timing anything
compare "wine $count" "$scratch/source" yes "$rounds" "${tools[@]}" del
