#!/usr/bin/env bash
# make_logs.sh DIR N KIND: fills the new folder DIR with N empty dated log files named
# trace<i>.<YYYYMMDD>.log. KIND is old (30 days back: all deleted with a 7-day limit),
# young (today: none deleted) or mixed (alternately old and young).
set -euo pipefail
dir=$1 count=$2 kind=$3
old=$(date -d '30 days ago' +%Y%m%d)
young=$(date +%Y%m%d)
case "$kind" in
  old) dates=("$old") ;;
  young) dates=("$young") ;;
  mixed) dates=("$old" "$young") ;;
  *) echo "make_logs.sh: KIND is old, young or mixed" >&2; exit 2 ;;
esac
mkdir -p "$dir"
cd "$dir"
awk -v n="$count" -v a="${dates[0]}" -v b="${dates[${#dates[@]}-1]}" \
  'BEGIN { for (i = 0; i < n; i++) printf "trace%d.%s.log\n", i, (i % 2 ? b : a) }' |
  xargs touch
