#!/usr/bin/env bash
# rules.sh TARNWELL_EXE: under Wine, retention rules written with `reg add` in the native
# view: policy rules first, a local one of a policy rule's name left out with a notice, a
# Path as REG_EXPAND_SZ, numbers as REG_DWORD and REG_SZ digits, a key without values no
# rule, and a bad rule that costs only itself (exit status 1). Under /Silent each rule's
# line goes to the redirected standard error, the refused rule to an Event Log error entry
# and every rule's count into the run's information entry (read from Wine's trace). Needs
# the prefix and display of scripts/with-wine.sh.
set -uo pipefail
. "$(dirname "$0")/../../../scripts/lib/checks.sh"
exe=$1
name=tarnwell-rules.$$
root="$WINEPREFIX/drive_c/$name"
policy='HKLM\SOFTWARE\Policies\Corvane\Tarnwell\Rules'
own='HKLM\SOFTWARE\Corvane\Tarnwell\Rules'  # the rules set locally
shown=${own/HKLM/HKEY_LOCAL_MACHINE}
cleanup() {
  wine reg delete "$policy" /f /reg:64 >/dev/null 2>&1
  wine reg delete "$own" /f /reg:64 >/dev/null 2>&1
  rm -rf "$root"
}
trap cleanup EXIT
cleanup
old=$(day -30)
for folder in site/W3SVC1 shared decoy app; do mkdir -p "$root/$folder"; done
gone=("site/W3SVC1/u_ex${old:2}.log" "shared/trace.$old.log" "app/a.$(day -40).log")
stay=("decoy/trace.$old.log" "app/a.$old.log" "site/W3SVC1/trace.$old.log")
for file in "${gone[@]}" "${stay[@]}"; do touch "$root/$file"; done

add() {  # KEY VALUE TYPE DATA
  wine reg add "$1" /v "$2" /t "$3" /d "$4" /f /reg:64 >/dev/null 2>&1 || die "reg add $*"
}
folder="C:\\$name"
add "$policy\\Site" Path REG_EXPAND_SZ "%SystemDrive%\\$name\\site"
add "$policy\\Site" DeleteAfterDays REG_DWORD 7
add "$policy\\Site" Depth REG_SZ 1
add "$policy\\Site" Names REG_SZ 'u_ex{yyMMdd}.log'
add "$policy\\Shared" Path REG_SZ "$folder\\shared"
add "$policy\\Shared" DeleteAfterDays REG_SZ 7
add "$own\\shared" Path REG_SZ "$folder\\decoy"
add "$own\\shared" DeleteAfterDays REG_DWORD 7
add "$own\\App" Path REG_SZ "$folder\\app"
add "$own\\App" DeleteAfterDays REG_DWORD 7
add "$own\\App" Keep REG_DWORD 1
add "$own\\Bad" Path REG_SZ "$folder\\app"
add "$own\\Bad" DeleteAfterDays REG_BINARY 07000000
wine reg add "$own\\Empty" /f /reg:64 >/dev/null 2>&1

WINEDEBUG=-all,+eventlog,fixme+advapi wine "$exe" /Rules /Silent /List </dev/null \
  >"$root/out" 2>"$root/err"
expect "exit status" 1 $?
lines=$(tr -d '\r' <"$root/err")
bad="rule Bad: $shown\\Bad: DeleteAfterDays is REG_BINARY; a number is REG_DWORD or REG_SZ digits"
expect "standard error" "tarnwell: rule shared: $shown\\shared ignored: a policy rule has its name
tarnwell: rule Shared: $folder\\shared: 1 deleted
tarnwell: rule Site: $folder\\site: 1 deleted
tarnwell: rule App: $folder\\app: 1 deleted
tarnwell: $bad; not swept" "$(grep '^tarnwell: ' <<<"$lines")"
record=("$folder\\shared\\${gone[1]#*/}" "$folder\\site\\${gone[0]#*/}" "$folder\\app\\${gone[2]#*/}")
expect "record" "$(printf '%s\n' "${record[@]//\//\\}")" "$(tr -d '\r' <"$root/out")"
# Wine traces each insertion string quoted, a backslash doubled and a line end as \r\n, on
# the channel of the entry's type.
traced() {  # CHANNEL TEXT
  local quoted=${2//\\/\\\\}
  quoted=${quoted//$'\r\n'/\\r\\n}
  grep -qF -- "$1:eventlog:ReportEventW L\"$quoted\"" <<<"$lines" || fail "no $1 entry: $2"
}
traced err "$bad"
counts=("Shared: $folder\\shared" "Site: $folder\\site" "App: $folder\\app")
traced trace "$(printf 'rule %s: 1 deleted\r\n' "${counts[@]}" | head -c -2)"
for file in "${gone[@]}"; do [ ! -e "$root/$file" ] || fail "not deleted: $file"; done
for file in "${stay[@]}"; do [ -e "$root/$file" ] || fail "deleted: $file"; done
finish "retention rules under Wine"
