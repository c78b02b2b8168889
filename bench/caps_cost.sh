#!/usr/bin/env bash
# caps_cost.sh [ROUNDS] [COUNT]: what /MaxSize costs beside the same sweep without it, on a
# folder of COUNT (default 1,000,000) young dated logs of 100 bytes, one date per 1,000
# logs, on the local disk. It reports; it does not judge.
#   preview: both with /WhatIf on one warm folder, in paired rounds (compare in common.sh):
#            the cap's three readings of the folder, each file looked at, against one
#   peak:    the peak resident memory of a real run of each, /MaxSize deleting half the logs
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
rounds=${1:-5}
count=${2:-1000000}
program=${TARNWELL_PROGRAM:-build/native/app/tarnwell}
prepare "$program" tarnwell caps
half=$((count * 100 / 2))

make() {
  mkdir -p "$1"
  python3 - "$1" "$count" <<'PY'
import datetime, os, sys
folder, count = sys.argv[1], int(sys.argv[2])
today = datetime.date.today()
for i in range(count):
    day = today - datetime.timedelta(days=1 + i // 1000)
    with open(os.path.join(folder, f"trace{i % 1000}.{day:%Y%m%d}.log"), "wb") as f:
        f.write(b"x" * 100)
PY
}
plain() { "$program" /DeleteAfterDays=1000000 "/Path=$1" /WhatIf; }
capped() { "$program" /DeleteAfterDays=1000000 "/Path=$1" /MaxSize=$half /WhatIf; }

echo "$rounds rounds, $count logs, scratch $scratch ($(stat -f -c %T "$scratch")), load $(load)"
make "$scratch/source"
plain "$scratch/source" >/dev/null
compare "preview $count" "$scratch/source" no "$rounds" capped plain
for run in plain capped; do
  cp -a "$scratch/source" "$scratch/a"
  peak=$(/usr/bin/time -f '%M %e' "$program" /DeleteAfterDays=1000000 "/Path=$scratch/a" \
    $([ $run = capped ] && echo /MaxSize=$half) 2>&1 >/dev/null | tail -n 1)
  printf 'real run, %-6s peak RSS %6d KiB, %5.1f s, %d logs left\n' "$run" "${peak% *}" \
    "${peak#* }" "$(find "$scratch/a" -type f | wc -l)"
  rm -rf "$scratch/a"
done
