#!/usr/bin/env bash
# keep_cost.sh [ROUNDS] [COUNT]: what /Keep=30 costs beside the same sweep without it, on
# folders of COUNT (default 100,000) dated logs of 10 stems on the local disk. It reports;
# it does not judge. Cases, each the median of per-round ratios of wall time (with /Keep over
# without), every run on its own fresh copy, the two taking turns going first:
#   old:   every log old, a date per day going back from 8 days ago: all but the 30 newest of
#          each stem are deleted
#   young: every log of today: nothing is deleted, so the first reading /Keep needs is all
#          the extra work
# Then the peak resident memory of both at 1,000,000 entries (40% old, the rest young).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/common.sh
rounds=${1:-5}
count=${2:-100000}
program=${TARNWELL_PROGRAM:-build/native/app/tarnwell}
prepare "$program" tarnwell keep

# make DIR COUNT KIND: COUNT logs stem0..stem9, one date per log of a stem (names differ in
# the date alone): old ones a day apart from 8 days ago back, young ones from today on;
# mixed: the first 40% of each stem's dates old, the rest young.
make() {
  mkdir -p "$1"
  (cd "$1" && awk -v n="$2" -v kind="$3" -v today="$(($(date +%s) / 86400))" '
    # YYYYMMDD of a day counted from 1970-01-01 (the civil-from-days rule; awk'"'"'s own
    # strftime, where it has one, stops in 2038).
    function ymd(z,   era, doe, yoe, doy, mp, d, m, y) {
      z += 719468; era = int(z / 146097); doe = z - era * 146097
      yoe = int((doe - int(doe / 1460) + int(doe / 36524) - int(doe / 146096)) / 365)
      doy = doe - (365 * yoe + int(yoe / 4) - int(yoe / 100)); mp = int((5 * doy + 2) / 153)
      d = doy - int((153 * mp + 2) / 5) + 1; m = mp < 10 ? mp + 3 : mp - 9
      y = yoe + era * 400 + (m <= 2)
      return sprintf("%04d%02d%02d", y, m, d)
    }
    BEGIN {
      for (i = 0; i < n; i++) {
        j = int(i / 10)
        old = kind == "old" || (kind == "mixed" && j < n / 25)
        days = old ? 8 + j : (kind == "mixed" ? n / 25 - j : -j)
        printf "stem%d.%s.log\n", i % 10, ymd(today - days)
      }
    }' | xargs touch)
}
plain() { "$program" /DeleteAfterDays=7 "/Path=$1"; }
keep() { "$program" /DeleteAfterDays=7 "/Path=$1" /Keep=30; }

echo "$rounds rounds, $count logs of 10 stems, scratch $scratch ($(stat -f -c %T "$scratch")), load $(cut -d' ' -f1-3 /proc/loadavg)"
# With /Keep first, so its ratio is to the plain run; the last tool is the reference.
for kind in old young; do
  rm -rf "$scratch/source" && make "$scratch/source" "$count" "$kind"
  compare "$kind $count" "$scratch/source" apart "$rounds" keep plain
done

rm -rf "$scratch/source" && make "$scratch/source" 1000000 mixed
for run in plain keep; do
  cp -a "$scratch/source" "$scratch/a"
  peak=$(/usr/bin/time -f %M bash -c "$(declare -f plain keep); program=$program; $run $scratch/a" 2>&1 >/dev/null | tail -n 1)
  printf 'peak RSS at 1000000 entries, %-5s %6d KiB\n' "$run" "$peak"
  rm -rf "$scratch/a"
done
