#!/usr/bin/env bash
# test-msi-in-wine.sh MSI VERSION NEWER-MSI: uses the MSI as an administrator would, in the
# throw-away Wine prefix of scripts/with-wine.sh (scripts/test-packages.sh runs it there):
# installed, run, upgraded to NEWER-MSI and removed; the Event Log source; the optional
# features DebugPathSetting and DailyTask. Prints what fails; exits 1 after any failure.
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

program_files="$WINEPREFIX/drive_c/Program Files/Tarnwell"
tasks="$WINEPREFIX/drive_c/windows/system32/tasks"
event_source='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Tarnwell'
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
for file in Tarnwell.exe README.txt LICENSE.txt; do
  [ -f "$program_files/$file" ] || fail "not installed: Program Files/Tarnwell/$file"
done
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
Arguments /DeleteAfterDays=14 /Silent
EOF
# The command, as Task Scheduler expands it for SYSTEM, is the installed program.
expect "task definition: program" 'C:\Program Files\Tarnwell\Tarnwell.exe' \
  "$(wine cmd /c echo "$(xml_text "$definition" Command)" | tr -d '\r')"
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

# The task names the default folder: elsewhere the install refuses, before it installs
# anything.
wine msiexec /i "$msi" /qn ADDLOCAL=Program,DailyTask 'INSTALLDIR=C:\Tools\Tarnwell' &&
  fail "DailyTask installed outside the default folder"
[ ! -e "$WINEPREFIX/drive_c/Tools/Tarnwell" ] || fail "left after the refused install"
# A task that cannot be registered (the scheduler's folder is a file) fails the install,
# and everything it did is rolled back.
mv "$tasks" "$tasks.saved" && touch "$tasks"
wine msiexec /i "$msi" /qn ADDLOCAL=Program,DailyTask && fail "installed without its task"
rm "$tasks" && mv "$tasks.saved" "$tasks"
[ ! -e "$program_files" ] || fail "left after the failed install: $(ls "$program_files")"
expect "Add/Remove Programs entries after the failed install" "" "$(product)"
wine reg query "$event_source" >/dev/null 2>&1 && fail "the Event Log source after the failed install"

finish "MSI under Wine"
