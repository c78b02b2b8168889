#!/usr/bin/env bash
# unreachable_folder.sh TARNWELL_EXE: under Wine, a folder inside one the user may not search
# ends the run with error 75 and deletes nothing, rather than reading as an empty sweep. Root
# passes every permission check, so Wine runs here without the capabilities that let it, as
# an ordinary user's Wine would. Needs the prefix and display of scripts/with-wine.sh.
set -uo pipefail
exe=$1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarnwell-unreachable.XXXXXX")
trap 'chmod 700 "$scratch/locked"; rm -rf "$scratch"' EXIT
mkdir -p "$scratch/locked/logs"
touch "$scratch/locked/logs/old.20100101.log"
chmod 0 "$scratch/locked"
folder="Z:${scratch//\//\\}\\locked\\logs"
as_user=(setpriv --bounding-set -dac_override,-dac_read_search
  wine "$exe" /DeleteAfterDays=7 "/Path=$folder")

# Wine's output goes to a file: a helper process Wine starts keeps it open, and a pipe held
# open would keep the test runner waiting.
"${as_user[@]}" /Silent </dev/null >>"$scratch/output" 2>&1
status=$?
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status, not 1 (run-time error)"; exit 1; }

# Without /Silent the error box shows; Wine's trace of the box gives its text, and ending the
# process closes it.
WINEDEBUG=+msgbox "${as_user[@]}" </dev/null >>"$scratch/output" 2>&1 &
run=$!  # setpriv becomes wine, which becomes the Windows process
for _ in $(seq 150); do grep -aq MSGBOX_OnInit "$scratch/output" && break; sleep 0.2; done
kill -9 "$run"
wait "$run" 2>/dev/null
box=$(grep -a MSGBOX_OnInit "$scratch/output")
[[ $box == *"Run-time error '75': Path/File access error"* ]] ||
  { echo "FAIL: the box says: ${box:-nothing}"; exit 1; }
[ -e "$scratch/locked/logs/old.20100101.log" ] || { echo "FAIL: the old file was deleted"; exit 1; }
echo "error 75 for $folder; nothing deleted"
