#!/usr/bin/env bash
# test-msi-in-wine.sh MSI VERSION NEWER-MSI: uses the MSI as an administrator would, in the
# throw-away Wine prefix of scripts/with-wine.sh (scripts/test-packages.sh runs it there,
# from the repository's root): installed, run, upgraded to NEWER-MSI and removed; the Event
# Log source; the optional features DebugPathSetting and DailyTask, the task's arguments
# (TASKARGUMENTS) in another INSTALLDIR through an upgrade and repairs; the registry values
# of the Group Policy templates, swept by the task's command line. Prints what fails; exits
# 1 after any failure.
set -uo pipefail
if [ -z "${TARNWELL_WINE_READY:-}" ] || [ $# -ne 3 ]; then
  echo "usage: scripts/with-wine.sh $0 MSI VERSION NEWER-MSI" >&2
  exit 2
fi
msi=$1
version=$2
newer=$3
# shellcheck source=SCRIPTDIR/lib/checks.sh
. "$(dirname "$0")/lib/checks.sh"
# shellcheck source=SCRIPTDIR/lib/policy_templates.sh
. "$(dirname "$0")/lib/policy_templates.sh"

program_files="$WINEPREFIX/drive_c/Program Files/Tarnwell"
tasks="$WINEPREFIX/drive_c/windows/system32/tasks"
event_source='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Tarnwell'
# Where the MSI remembers what it was given (64-bit view), and where Group Policy writes.
settings='HKLM\SOFTWARE\Corvane\Tarnwell'
policy_root='HKLM\SOFTWARE\Policies\Corvane'
# The files every installation holds, relative to its folder: the pages beside README.txt
# as in the source tree, and the Group Policy templates as PolicyDefinitions lays them out.
installed_files=(Tarnwell.exe README.txt LICENSE.txt docs/*.md docs/*.png
  PolicyDefinitions/Tarnwell.admx PolicyDefinitions/en-US/Tarnwell.adml)
# registry_value KEY NAME [OPTION...]: "TYPE DATA" of the value, or nothing.
registry_value() {
  wine reg query "$1" /v "$2" "${@:3}" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *\(REG_[A-Z_]*\) *\(.*\)/\1 \2/p"
}
debug_path() { registry_value 'HKLM\SOFTWARE\Corvane' DebugPath "$@" | sed 's/^REG_SZ //'; }
product() { wine uninstaller --list 2>/dev/null | grep '|||Tarnwell' | tr -d '\r'; }
msiexec() {
  wine msiexec "$@" /qn || fail "msiexec $*: exit status $?"
}
# xml_text FILE ELEMENT: the text of the first ELEMENT (any namespace) in FILE.
xml_text() { xmllint --xpath "string(//*[local-name()='$2'])" "$1" 2>/dev/null; }

msiexec /i "$msi"
for file in "${installed_files[@]}"; do
  [ -f "$program_files/$file" ] || fail "not installed: Program Files/Tarnwell/$file"
done
for file in Tarnwell.admx en-US/Tarnwell.adml; do
  cmp -s "$program_files/PolicyDefinitions/$file" "packaging/policy/$file" ||
    fail "the installed $file differs from packaging/policy/$file"
done
expect "the folder remembered" "REG_SZ C:\\Program Files\\Tarnwell\\" \
  "$(registry_value "$settings" InstallDir /reg:64)"
code=$(product | cut -d'|' -f1)
[ -n "$code" ] || fail "no Add/Remove Programs entry after install"
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code"
expect "Add/Remove Programs version" "REG_SZ $version" "$(registry_value "$uninstall_key" DisplayVersion)"
[ -f "$WINEPREFIX/drive_c/windows/Installer/$code/tarnwell.ico" ] ||
  fail "no Add/Remove Programs icon"
expect "DebugPath without the optional feature" "" "$(debug_path /reg:32)"
expect "Event Log source: message file" 'REG_EXPAND_SZ C:\Program Files\Tarnwell\Tarnwell.exe' \
  "$(registry_value "$event_source" EventMessageFile)"
expect "Event Log source: types" "REG_DWORD 0x7" "$(registry_value "$event_source" TypesSupported)"
[ ! -e "$tasks/Tarnwell" ] || fail "a scheduled task without the DailyTask feature"
[ ! -e "$program_files/Tarnwell-task.xml" ] || fail "a task definition without DailyTask"

sweep="$WINEPREFIX/drive_c/tarnwell-sweep"
mkdir -p "$sweep"
touch "$sweep/old.$(day -8).log" "$sweep/young.$(day -7).log"
wine 'C:\Program Files\Tarnwell\Tarnwell.exe' /DeleteAfterDays=7 '/Path=C:\tarnwell-sweep' \
  /Silent || fail "installed Tarnwell.exe /Silent: exit status $?"
expect "left after the installed program's sweep" "young.$(day -7).log" "$(ls "$sweep")"

# A newer build replaces the installed one in place.
msiexec /i "$newer"
expect "products after the upgrade" 1 "$(product | wc -l)"
[ -f "$program_files/Tarnwell.exe" ] || fail "no Tarnwell.exe after the upgrade"
wine msiexec /i "$msi" /qn && fail "the older MSI installed over the newer"
expect "products after the refused downgrade" 1 "$(product | wc -l)"
msiexec /x "$newer"
[ ! -e "$program_files" ] || fail "left after uninstall: $(ls "$program_files")"
expect "Add/Remove Programs entries after uninstall" "" "$(product)"
wine reg query "$event_source" >/dev/null 2>&1 && fail "the Event Log source stays after uninstall"
wine reg query "$settings" /reg:64 >/dev/null 2>&1 && fail "$settings stays after uninstall"

# The optional feature: writes the 32-bit view only, never replaces a value, and leaves
# the value in place on removal (it is the machine's setting from then on).
msiexec /i "$msi" ADDLOCAL=Program,DebugPathSetting 'DEBUGPATH=C:\Logs'
expect "DebugPath set by the feature" 'C:\Logs' "$(debug_path /reg:32)"
expect "DebugPath in the 64-bit view" "" "$(debug_path /reg:64)"
msiexec /x "$msi"
expect "DebugPath after uninstall" 'C:\Logs' "$(debug_path /reg:32)"
msiexec /i "$msi" ADDLOCAL=Program,DebugPathSetting 'DEBUGPATH=C:\Other'
expect "DebugPath already there" 'C:\Logs' "$(debug_path /reg:32)"
msiexec /x "$msi"
[ ! -e "$program_files" ] || fail "left after uninstall: $(ls "$program_files")"
expect "Add/Remove Programs entries after uninstall" "" "$(product)"

# The daily task: registered by schtasks from the definition installed beside the program.
# Wine keeps a task in its own words, without trigger, principal or action: those are
# checked in the definition that schtasks was given, the settings in both.
msiexec /i "$msi" ADDLOCAL=Program,DailyTask
definition="$program_files/Tarnwell-task.xml"
while read -r element expected; do
  expect "task definition: $element" "$expected" "$(xml_text "$definition" "$element")"
done <<'EOF'
StartBoundary 2000-01-01T03:00:00
DaysInterval 1
RandomDelay PT1H
UserId S-1-5-18
MultipleInstancesPolicy IgnoreNew
StartWhenAvailable true
ExecutionTimeLimit PT1H
Arguments /DeleteAfterDays=14 /Rules /Silent
EOF
# The command is the installed program, written into the definition at install.
expect "task definition: program" 'C:\Program Files\Tarnwell\Tarnwell.exe' \
  "$(xml_text "$definition" Command)"
expect "the task's arguments remembered" "REG_SZ /DeleteAfterDays=14 /Rules /Silent" \
  "$(registry_value "$settings" TaskArguments /reg:64)"
for element in MultipleInstancesPolicy StartWhenAvailable ExecutionTimeLimit; do
  expect "registered task: $element" "$(xml_text "$definition" "$element")" \
    "$(xml_text "$tasks/Tarnwell" "$element")"
done
msiexec /i "$msi" REMOVE=DailyTask
[ ! -e "$tasks/Tarnwell" ] || fail "the task stays after REMOVE=DailyTask"
[ ! -e "$definition" ] || fail "the task definition stays after REMOVE=DailyTask"
[ -f "$program_files/Tarnwell.exe" ] || fail "REMOVE=DailyTask removed the program"
msiexec /i "$msi" ADDLOCAL=DailyTask
[ -f "$tasks/Tarnwell" ] || fail "no task after adding DailyTask to the installed program"
msiexec /x "$msi"
[ ! -e "$tasks/Tarnwell" ] || fail "the task stays after uninstall"
expect "Add/Remove Programs entries after uninstall" "" "$(product)"

# Any folder, the task's arguments given at install: the definition names the program
# where it is and those arguments, and an upgrade (a new product, which would start from
# the defaults) and a repair keep both.
tools="$WINEPREFIX/drive_c/Tools/Tarnwell"
definition="$tools/Tarnwell-task.xml"
# daily_task_is WHEN ARGUMENTS: the task, registered from its definition in C:\Tools\Tarnwell,
# runs the program there with ARGUMENTS, which the MSI remembers.
daily_task_is() {
  [ -f "$tools/Tarnwell.exe" ] || fail "$1: no Tarnwell.exe in C:\Tools\Tarnwell"
  [ -f "$tasks/Tarnwell" ] || fail "$1: no task"
  expect "$1: the task's program" 'C:\Tools\Tarnwell\Tarnwell.exe' "$(xml_text "$definition" Command)"
  expect "$1: the task's arguments" "$2" "$(xml_text "$definition" Arguments)"
  expect "$1: the arguments remembered" "REG_SZ $2" "$(registry_value "$settings" TaskArguments /reg:64)"
}
msiexec /i "$msi" ADDLOCAL=Program,DailyTask 'INSTALLDIR=C:\Tools\Tarnwell' 'TASKARGUMENTS=/Rules /Silent'
for file in "${installed_files[@]}"; do
  [ -f "$tools/$file" ] || fail "not installed: Tools/Tarnwell/$file"
done
[ ! -e "$program_files" ] || fail "INSTALLDIR given: installed into Program Files too"
daily_task_is "INSTALLDIR and TASKARGUMENTS" "/Rules /Silent"
expect "INSTALLDIR: Event Log source" 'REG_EXPAND_SZ C:\Tools\Tarnwell\Tarnwell.exe' \
  "$(registry_value "$event_source" EventMessageFile)"
# Windows carries the installed features over to the upgrade (MigrateFeatureStates), which
# Wine 8 does not: here DailyTask is named again, and nothing else.
msiexec /i "$newer" ADDLOCAL=Program,DailyTask
expect "INSTALLDIR: products after the upgrade" 1 "$(product | wc -l)"
daily_task_is "after the upgrade" "/Rules /Silent"
[ ! -e "$program_files" ] || fail "the upgrade installed into Program Files"
# A repair puts back what was deleted by hand, with what was given. (REINSTALL with the
# mode of msiexec /fomus: Wine's msiexec /f cannot find an installed product.)
rm "$definition"
wine schtasks /Delete /TN Tarnwell /F >/dev/null 2>&1
msiexec /i "$newer" REINSTALL=ALL REINSTALLMODE=omus
daily_task_is "after a repair" "/Rules /Silent"

# The Group Policy templates: the values each policy writes, read from the installed .admx
# itself, written with reg add as Group Policy writes them (a box left empty as an empty
# string), then swept by the daily task's command line as each policy means. Each policy
# sweeps its own folder, %SystemDrive%\tarnwell-policy\N; a planted file is a date format
# and an age in days (old.%Y%m%d.log@8 is old.YYYYMMDD.log dated 8 days ago).
admx="$tools/PolicyDefinitions/Tarnwell.admx"
sweep_root="$WINEPREFIX/drive_c/tarnwell-policy"
# reg_add KEY OPTION...: wine reg add KEY OPTION... /f /reg:64. Wine's reg now and then
# fails, or prints nothing, on a loaded machine: asked once more then, and what it said the
# second time is shown.
reg_add() {
  wine reg add "$@" /f /reg:64 >/dev/null 2>&1 && return 0
  local said
  said=$(wine reg add "$@" /f /reg:64 2>&1) || {
    echo "wine reg add $*: $said"
    return 1
  }
}
# named NAME@AGE,...: the file names, sorted, one a line.
named() {
  local entry
  for entry in ${1//,/ }; do date -d "-${entry#*@} days" +"${entry%@*}"; done | sort
}
# Whether the program sweeps rules: with one local rule over a folder holding an old log,
# a run that asks for rules beside a sweep of an empty folder. It shows no box either way,
# as a program without rules would show the usage message for /Rules alone, on the display
# this prefix has.
probe='HKLM\SOFTWARE\Corvane\Tarnwell\Rules\probe'
mkdir -p "$WINEPREFIX/drive_c/tarnwell-probe/empty"
touch "$WINEPREFIX/drive_c/tarnwell-probe/old.$(day -8).log"
reg_add "$probe" /v Path /d 'C:\tarnwell-probe' || fail "reg add $probe Path"
reg_add "$probe" /v DeleteAfterDays /t REG_DWORD /d 7 || fail "reg add $probe DeleteAfterDays"
timeout 300 wine "$tools/Tarnwell.exe" /DeleteAfterDays=7 '/Path=C:\tarnwell-probe\empty' /Rules /Silent
status=$?
if [ -e "$WINEPREFIX/drive_c/tarnwell-probe/old.$(day -8).log" ]; then
  verdict=no
elif ((status == 0)); then
  verdict=yes
else
  verdict="a run with a local rule: exit status $status"
fi
sweeps_rules "Tarnwell.exe" "$verdict" && rules=1
wine reg delete 'HKLM\SOFTWARE\Corvane\Tarnwell\Rules' /f /reg:64 >/dev/null 2>&1
declare -A expected_left
while read -r n days keep names depth max_size min_free planted left; do
  declare -A data=([Path]="%SystemDrive%\\tarnwell-policy\\$n" [DeleteAfterDays]=$days
    [Keep]=$keep [Names]=$names [Depth]=$depth [MaxSize]=$max_size [MinFree]=$min_free)
  key="HKLM\\$(policy_key "$admx" "$n")"
  written=()
  while read -r kind name _ expandable _ _ as_text; do
    case $kind/$expandable/$as_text in
      text/true/*) type=REG_EXPAND_SZ ;;
      text/*) type=REG_SZ ;;
      decimal/*/true) type=REG_SZ ;;
      *) type=REG_DWORD ;;
    esac
    value=${data[$name]:-}
    [ "$value" = - ] && value=""
    reg_add "$key" /v "$name" /t "$type" /d "$value" || fail "policy $n: reg add $name"
    shown=$value
    [ "$type" = REG_DWORD ] && shown=$(printf '0x%x' "$value")
    written+=("$name $type $shown")
  done < <(policy_elements "$admx" "$n")
  # What the key holds, as reg lists it (asked once more when it lists nothing, as reg_add).
  for _ in 1 2; do
    listing=$(wine reg query "$key" /reg:64 2>/dev/null | tr -d '\r' |
      sed -n 's/^    \([^ ]*\)    \(REG_[A-Z_]*\)    /\1 \2 /p')
    [ -n "$listing" ] && break
  done
  expect "policy $n: the values in $key" "$(printf '%s\n' "${written[@]}" | sort)" "$(sort <<<"$listing")"
  expect "policy $n: the values it writes" "$(printf '%s\n' "${!data[@]}" | sort | xargs)" \
    "$(printf '%s\n' "${written[@]%% *}" | sort | xargs)"
  unset data
  while read -r file; do
    mkdir -p "$(dirname "$sweep_root/$n/$file")" && touch "$sweep_root/$n/$file"
  done < <(named "$planted")
  expected_left[$n]=$(named "$left" | xargs)
done <<'EOF'
1 7 - - 0 - - old.%Y%m%d.log@8,young.%Y%m%d.log@7 young.%Y%m%d.log@7
2 7 2 - 0 - - a.%Y%m%d.log@10,a.%Y%m%d.log@9,a.%Y%m%d.log@8,a.%Y%m%d.log@1 a.%Y%m%d.log@8,a.%Y%m%d.log@1
3 7 - u_ex{yyMMdd}.log 0 - - u_ex%y%m%d.log@8,u_ex%y%m%d.log@7,old.%Y%m%d.log@8 u_ex%y%m%d.log@7,old.%Y%m%d.log@8
4 7 - - 1 - - old.%Y%m%d.log@8,sub/old.%Y%m%d.log@8,sub/young.%Y%m%d.log@1 sub/young.%Y%m%d.log@1
5 7 - - 0 1T - old.%Y%m%d.log@8,young.%Y%m%d.log@7 young.%Y%m%d.log@7
6 7 - - 0 - 1K old.%Y%m%d.log@8,young.%Y%m%d.log@7 young.%Y%m%d.log@7
7 30 - - 0 - - old.%Y%m%d.log@31,young.%Y%m%d.log@30 young.%Y%m%d.log@30
8 14 1 app-{yyyy-MM-dd}.log|*.{yyyy-MM-dd}.log 0 2G 1% app-%Y-%m-%d.log@20,app-%Y-%m-%d.log@16,web.%Y-%m-%d.log@15,app-%Y-%m-%d.log@3 app-%Y-%m-%d.log@3,web.%Y-%m-%d.log@15
EOF
expect "policies the test writes" "$(policy_count "$admx")" "${#expected_left[@]}"
if [ -n "${rules:-}" ]; then
  # shellcheck disable=SC2046  # the task's arguments, split into words as its command line is
  timeout 300 wine "$(xml_text "$definition" Command)" $(xml_text "$definition" Arguments)
  expect "the daily task's run over the policies: exit status" 0 "$?"
  for n in "${!expected_left[@]}"; do
    expect "policy $n: left after the daily task's run" "${expected_left[$n]}" \
      "$(cd "$sweep_root/$n" && find . -type f | sed 's|^\./||' | sort | xargs)"
  done
fi
wine reg delete "$policy_root" /f /reg:64 >/dev/null 2>&1 || fail "reg delete $policy_root"

# Given anew, the arguments replace those remembered; removal takes the task, the folder
# and what the MSI remembered.
msiexec /i "$newer" REINSTALL=ALL REINSTALLMODE=omus 'TASKARGUMENTS=/DeleteAfterDays=30 /Rules /Silent'
daily_task_is "a repair given TASKARGUMENTS" "/DeleteAfterDays=30 /Rules /Silent"
msiexec /x "$newer"
[ ! -e "$tools" ] || fail "left in C:\Tools\Tarnwell after uninstall: $(ls "$tools")"
[ ! -e "$tasks/Tarnwell" ] || fail "the task stays after uninstall"
wine reg query "$settings" /reg:64 >/dev/null 2>&1 && fail "$settings stays after uninstall"
expect "Add/Remove Programs entries after uninstall" "" "$(product)"

# A task that cannot be registered (the scheduler's folder is a file) fails the install,
# and everything it did is rolled back.
mv "$tasks" "$tasks.saved" && touch "$tasks"
wine msiexec /i "$msi" /qn ADDLOCAL=Program,DailyTask && fail "installed without its task"
rm "$tasks" && mv "$tasks.saved" "$tasks"
[ ! -e "$program_files" ] || fail "left after the failed install: $(ls "$program_files")"
expect "Add/Remove Programs entries after the failed install" "" "$(product)"
wine reg query "$event_source" >/dev/null 2>&1 && fail "the Event Log source after the failed install"

finish "MSI under Wine"
