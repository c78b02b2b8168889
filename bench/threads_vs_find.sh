#!/usr/bin/env bash
# threads_vs_find.sh [COUNT] [ROUNDS] [THREADS...]: what the deleting threads buy. Deletes
# COUNT old dated logs (default 100000) with tarnwell, its batches deleted by each number
# of THREADS in turn (default 1 2 4; forced through TARNWELL_DELETE_THREADS), and with
# `find -maxdepth 1 -type f -name '*.????????.log' -delete`, in paired rounds on fresh
# identical copies (see compare in common.sh), and prints for each thread count the median
# of its per-round ratios of wall time to find's and the medians of wall and CPU time.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
arguments 100000 "1 2 4" threads "$@"
program=${TARNWELL_PROGRAM:-build/native/app/tarnwell}
prepare "$program" tarnwell threads

# threads N DIR
threads() { TARNWELL_DELETE_THREADS=$1 "$program" /DeleteAfterDays=7 "/Path=$2"; }
find_delete() { find "$1" -maxdepth 1 -type f -name '*.????????.log' -delete; }

echo "$count old files, $rounds rounds, scratch $scratch ($(stat -f -c %T "$scratch")), $(nproc) cores, load $(load)"
bench/make_logs.sh "$scratch/source" "$count" old
compare "old $count" "$scratch/source" yes "$rounds" "${tools[@]}" find_delete
