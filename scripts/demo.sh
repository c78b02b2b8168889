#!/usr/bin/env bash
# demo.sh: builds tarnwell (native preset) and sweeps a freshly made sample folder of dated
# logs with a limit of 7 days, showing the folder before, the count, and what is left.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target tarnwell
program=build/native/app/tarnwell

sample=$(mktemp -d "${TMPDIR:-/tmp}/tarnwell-demo.XXXXXX")
trap 'chmod -R u+w "$sample"; rm -rf "$sample"' EXIT

day() { date -d "$1 days" +%Y%m%d; }
touch "$sample/service.$(day -30).log"         # old: goes
touch "$sample/service.$(day -8).log"          # 8 days old: goes
touch "$sample/Upper.$(day -9).LOG"            # old, upper-case extension: goes
touch "$sample/service.$(day -7).log"          # exactly 7 days old: stays
touch "$sample/service.$(day 0).log"           # today: stays
touch "$sample/service.$(day 12).log"          # in the future: stays
touch "$sample/readme.log" "$sample/notes.txt" # not dated logs: stay
touch "$sample/locked.$(day -30).log"          # old but read-only: stays
chmod a-w "$sample/locked.$(day -30).log"

echo
echo "== sample folder $sample (today is $(date +%F)) =="
ls -l "$sample"
echo
echo "== $program /DeleteAfterDays=7 /Path=$sample =="
status=0
"$program" /DeleteAfterDays=7 "/Path=$sample" || status=$?
echo "(exit status $status)"
echo
echo "== left in the folder =="
ls -l "$sample"
exit "$status"
