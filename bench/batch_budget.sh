#!/usr/bin/env bash
# batch_budget.sh [COUNT] [ROUNDS] [MIB...]: what the batch size buys. Deletes COUNT old
# dated logs (default 300000) with the sweep's own deletion at each batch size in MiB
# (default 1 2 4 5 6 8 64; 64 holds the whole folder in one batch), and with
# `find -maxdepth 1 -type f -name '*.????????.log' -delete`, in paired rounds on fresh
# identical copies (see compare in common.sh), and prints for each size the median of its
# per-round ratios of wall time to find's and the medians of wall and CPU time.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
arguments 300000 "1 2 4 5 6 8 64" budget "$@"
program=${TARNWELL_BATCH_BUDGET:-build/native/bench/batch_budget}
prepare "$program" batch_budget budget

# budget MIB DIR
budget() { "$program" "$2" $(($1 << 20)); }
find_delete() { find "$1" -maxdepth 1 -type f -name '*.????????.log' -delete; }

echo "$count old files, $rounds rounds, scratch $scratch ($(stat -f -c %T "$scratch")), load $(load)"
bench/make_logs.sh "$scratch/source" "$count" old
compare "old $count" "$scratch/source" yes "$rounds" "${tools[@]}" find_delete
