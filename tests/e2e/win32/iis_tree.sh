#!/usr/bin/env bash
# iis_tree.sh TARNWELL_EXE: under Wine, /Names and /Depth on a tree laid out as IIS lays out
# its logs (LogFiles\W3SVC1, W3SVC2, ...): the old daily and hourly logs of each site go, as
# the preview said. A link to a decoy folder made from Linux, which Windows code sees as a
# reparse point (as it would see a junction; Wine cannot make one), and a hidden folder are
# never entered. A sub-folder that cannot be read is said on the redirected standard error,
# the others are swept and the run ends with exit status 1. Wine runs without the
# capabilities that let root read any folder, as an ordinary user's would. Needs the prefix
# and display of scripts/with-wine.sh.
set -uo pipefail
. "$(dirname "$0")/../../../scripts/lib/checks.sh"
exe=$1
name=tarnwell-iis.$$
root="$WINEPREFIX/drive_c/$name"
trap 'chmod -R u+rwx "$root"; rm -rf "$root"' EXIT
logs="$root/LogFiles"
iis() { echo "u_ex$(date -d "$1 days" +%y%m%d)${2:-}.log"; }
gone=("W3SVC1/$(iis -40)" "W3SVC2/$(iis -30 13)")
stay=("W3SVC1/$(iis -1)" "W3SVC2/$(iis 0 08)" "W3SVC2/trace.$(day -40).log"
  "Hidden/$(iis -40)" "locked/$(iis -40)")
mkdir -p "$logs"/{W3SVC1,W3SVC2,Hidden,locked} "$root/decoy"
for file in "${gone[@]}" "${stay[@]}"; do touch "$logs/$file"; done
touch "$root/decoy/$(iis -40)"
ln -s ../decoy "$logs/W3SVC3"
wine attrib +h "C:\\$name\\LogFiles\\Hidden" >/dev/null 2>&1
chmod 0 "$logs/locked"

folder="C:\\$name\\LogFiles"
run() {
  setpriv --bounding-set -dac_override,-dac_read_search wine "$exe" /DeleteAfterDays=7 \
    "/Path=$folder" '/Names=u_ex{yyMMdd}.log|u_ex{yyMMddHH}.log' /Depth=1 /List /Silent "$@" \
    </dev/null >"$root/out" 2>"$root/err"
  echo $?
}
listed="$folder\\W3SVC1\\${gone[0]#*/}"$'\n'"$folder\\W3SVC2\\${gone[1]#*/}"
unreadable="tarnwell: $folder\\locked: Access denied"
expect "preview: exit status" 1 "$(run /WhatIf)"
expect "preview: record" "$listed" "$(tr -d '\r' <"$root/out" | sort)"
expect "preview: standard error" "$unreadable" "$(tr -d '\r' <"$root/err")"
expect "run: exit status" 1 "$(run)"
expect "run: record" "$listed" "$(tr -d '\r' <"$root/out" | sort)"
expect "run: standard error" "$unreadable" "$(tr -d '\r' <"$root/err")"
for file in "${gone[@]}"; do [ ! -e "$logs/$file" ] || fail "not deleted: $file"; done
chmod 700 "$logs/locked"
for file in "${stay[@]}"; do [ -e "$logs/$file" ] || fail "deleted: $file"; done
[ -e "$root/decoy/$(iis -40)" ] || fail "deleted through the link: decoy/$(iis -40)"
finish "IIS tree under Wine"
