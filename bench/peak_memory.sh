#!/usr/bin/env bash
# peak_memory.sh [COUNTS...]: peak resident memory of one tarnwell sweep over folders of
# 1,000 and 1,000,000 dated logs (half old, so deleted, half young), via /usr/bin/time -v.
# The folder is read in batches of a fixed number of bytes, so the peak grows with the
# folder only until one batch is full.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
counts=("${@:-1000 1000000}")
read -r -a counts <<<"${counts[*]}"
program=${TARNWELL_PROGRAM:-build/native/app/tarnwell}
prepare "$program" tarnwell memory

echo "tarnwell: $program /DeleteAfterDays=7 /Path=DIR, scratch $scratch"
first=""
for count in "${counts[@]}"; do
  bench/make_logs.sh "$scratch/$count" "$count" mixed
  peak=$(/usr/bin/time -v "$program" /DeleteAfterDays=7 "/Path=$scratch/$count" 2>&1 >/dev/null |
    awk -F': ' '/Maximum resident set size/ { print $2 }')
  left=$(find "$scratch/$count" -type f | wc -l)
  printf '%9d entries: peak RSS %6d KiB (%d files left of %d)\n' "$count" "$peak" "$left" "$count"
  [ -n "$first" ] || first=$peak
  rm -rf "${scratch:?}/$count"
done
printf 'difference %d KiB; goal: at most 8192 KiB at 1,000,000 entries\n' $((peak - first))
