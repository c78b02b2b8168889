#!/usr/bin/env bash
# make_logs.sh DIR N KIND: fills the new folder DIR with N empty dated log files named
# trace<i>.<YYYYMMDD>.log. KIND is old (30 days back: all deleted with a 7-day limit),
# young (today: none deleted), mixed (alternately old and young) or sample (a folder as it
# is found: 10% old, 10% names that are no dated log, the rest young, and every 1000th old
# file read-only).
set -euo pipefail
dir=$1 count=$2 kind=$3
old=$(date -d '30 days ago' +%Y%m%d)
young=$(date +%Y%m%d)
case "$kind" in
  old | young | mixed | sample) ;;
  *) echo "make_logs.sh: KIND is old, young, mixed or sample" >&2; exit 2 ;;
esac
mkdir -p "$dir"
cd "$dir"
awk -v n="$count" -v kind="$kind" -v old="$old" -v young="$young" 'BEGIN {
  for (i = 0; i < n; i++) {
    if (kind == "old" || (kind == "mixed" && i % 2 == 0) || (kind == "sample" && i % 10 == 0))
      printf "trace%d.%s.log\n", i, old
    else if (kind == "sample" && i % 10 == 1)
      printf "trace%d.log\n", i
    else
      printf "trace%d.%s.log\n", i, young
  }
}' | xargs touch
if [ "$kind" = sample ]; then
  find . -maxdepth 1 -name "trace*000.$old.log" -exec chmod a-w {} +
fi
