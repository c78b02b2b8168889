#!/usr/bin/env bash
# test-systemd.sh [DEB]: boots a minimal Debian 12 with systemd as PID 1 in a container
# (scripts/lib/booted_container.sh), installs the .deb there and tries its service and
# timer as an administrator would: the units load, the sandbox's security score, the line
# of a run with nothing configured, a sweep of each place where logs are kept, rules
# dropped into rules.d, the notice for a folder the sandbox keeps read-only, a failed run,
# the timer, and a purge that leaves nothing. Then, booted afresh, the upgrade from the
# 1.1.0 package, built from the git history, with a DebugPath set. DEB defaults to one built
# by scripts/package.sh. Needs root and the git history; fails, never skips, when the
# container cannot boot.

# The sh -c scripts below run inside the container, where their "$1" expands.
# shellcheck disable=SC2016
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
. scripts/lib/checks.sh
. scripts/lib/booted_container.sh

readonly deb_inside=/root/tarnwell.deb
readonly program=/usr/bin/tarnwell
# The release an upgrade starts from, and its package inside the container.
readonly old_version=1.1.0
readonly old_deb_inside=/root/tarnwell-old.deb
# Its package, built once per commit (which fixes every byte of its source), as the bed's
# tree is cached.
readonly old_cache=/var/tmp/tarnwell-old-packages
# The shipped service's day count: a file this many days old stays, one a day older goes.
readonly days=14

# --- Runs of the service -----------------------------------------------------------------

# run_service: starts tarnwell.service and waits for it to end (it is Type=oneshot);
# returns systemctl's status. The journal's position before the run is kept in $cursor.
run_service() {
  cursor=$(inside journalctl --quiet --lines=1 --show-cursor --output=cat | sed -n 's/^-- cursor: //p')
  inside systemctl start tarnwell.service
}

# run_journal: the lines of the last run's journal so far, the program's output and
# systemd's messages about the unit.
run_journal() {
  inside journalctl --quiet --output=cat --unit=tarnwell.service --after-cursor="$cursor"
}

# journal_has LINE: whether the last run's journal holds LINE. journald reads the service's
# output stream at its own pace, so a line may arrive after the unit has ended: wait for
# it, up to 5 s.
journal_has() {
  for _ in $(seq 50); do
    run_journal | grep -qxF -- "$1" && return 0
    sleep 0.1
  done
  echo "the run's journal:"
  inside journalctl --quiet --unit=tarnwell.service --after-cursor="$cursor"
  return 1
}

# name_folder FOLDER: the registry file names FOLDER, which the shipped service sweeps.
name_folder() {
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\n"DebugPath"="%s"\n' \
    "$1" | inside sh -c 'cat >/etc/tarnwell/registry.reg'
}

# edit_service DROP-IN-TEXT: what an administrator does with `systemctl edit
# tarnwell.service`, the text typed in the editor (systemctl edit wants a terminal: script
# gives it one). systemctl then reloads the units itself.
edit_service() {
  printf '%s\n' "$1" | inside sh -c 'cat >/root/drop-in.conf'
  inside script --quiet --return --command \
    "SYSTEMD_EDITOR='cp /root/drop-in.conf' systemctl edit tarnwell.service" /dev/null >/dev/null ||
    fail "systemctl edit tarnwell.service"
}

# plant FOLDER MODE FOLDER-OWNER FILE-OWNER AGE...: FOLDER (made with MODE and FOLDER-OWNER
# when missing) holds a dated log for each AGE in days, app-AGE.YYYYMMDD.log with the date
# in the container's time zone, and notes.txt, which is no dated log; FILE-OWNER owns them.
plant() {
  inside sh -euc '
    folder=$1 mode=$2 folder_owner=$3 file_owner=$4
    shift 4
    if [ ! -d "$folder" ]; then
      mkdir -p "$folder"
      chmod "$mode" "$folder"
      chown "$folder_owner:" "$folder"
    fi
    for age; do
      touch "$folder/app-$age.$(date -d "-$age days" +%Y%m%d).log"
    done
    touch "$folder/notes.txt"
    chown "$file_owner:" "$folder"/app-*.log "$folder/notes.txt"' plant "$@"
}

# planted_left FOLDER: the planted files still in FOLDER, on one line.
planted_left() {
  inside sh -c 'cd "$1" && ls -d app-*.log notes.txt 2>/dev/null | xargs' planted_left "$1"
}

# dated AGE: the name plant gives the log AGE days old.
dated() { echo "app-$1.$(inside date -d "-$1 days" +%Y%m%d).log"; }

# drop_rule NAME TEXT: the rule file NAME in rules.d holds TEXT, as an administrator or a
# package writes it.
drop_rule() {
  printf '%s\n' "$2" | inside sh -c 'cat >"/etc/tarnwell/rules.d/$1"' drop_rule "$1"
}

# --- The 1.1.0 package -------------------------------------------------------------------

# Sets old_deb to the package of release $old_version, built as that release built it:
# from the commit that gave debian/changelog the entry of that version, with that commit's
# own debian/ and CMake files. No copy is kept in the repository; the history is the
# source, and a clone without it cannot run this test.
package_old_release() {
  local shallow commit
  shallow=$(git rev-parse --is-shallow-repository 2>/dev/null) ||
    die "the upgrade from $old_version builds that release from the git history: no git checkout here"
  [ "$shallow" = false ] ||
    die "the upgrade from $old_version builds that release from the git history, which this shallow clone lacks: git fetch --unshallow"
  commit=$(git log --format=%H -S"tarnwell ($old_version)" -- debian/changelog | tail -n 1)
  [ -n "$commit" ] || die "no commit in the history gave debian/changelog the entry tarnwell ($old_version)"
  old_deb="$old_cache/$commit/tarnwell_${old_version}_$(dpkg --print-architecture).deb"
  if [ -f "$old_deb" ]; then
    echo "tarnwell $old_version: cached $old_deb"
    return
  fi
  echo "tarnwell $old_version: building the package of $(git log -1 --format='%h %s' "$commit")"
  local source="$scratch/old/tarnwell"
  mkdir -p "$source"
  git archive "$commit" | tar -x -C "$source" || die "git archive $commit"
  (cd "$source" && DEB_BUILD_OPTIONS="nocheck parallel=2" dpkg-buildpackage -us -uc -b) \
    >"$scratch/old-package.log" 2>&1 || {
    tail -n 40 "$scratch/old-package.log"
    die "dpkg-buildpackage of tarnwell $old_version"
  }
  # Renamed into place last, so an interrupted build leaves nothing that passes for one.
  mkdir -p "$(dirname "$old_deb")"
  mv "$scratch/old/$(basename "$old_deb")" "$old_deb.new" ||
    die "no package tarnwell $old_version from $commit"
  mv "$old_deb.new" "$old_deb"
}

# --- The checks --------------------------------------------------------------------------

check_install() {
  echo "== dpkg -i =="
  inside dpkg -i "$deb_inside" >"$scratch/dpkg.log" 2>&1 || {
    cat "$scratch/dpkg.log"
    die "dpkg -i failed"
  }
  expect "the service's unit file" /lib/systemd/system/tarnwell.service \
    "$(inside systemctl show -P FragmentPath tarnwell.service)"
  # Installed, neither enabled nor started: deleting files on a schedule is the
  # administrator's call.
  expect "the timer after installation" "disabled inactive" \
    "$(inside systemctl is-enabled tarnwell.timer) $(inside systemctl is-active tarnwell.timer)"
}

# Whether the installed program sweeps retention rules (see sweeps_rules).
installed_program_sweeps_rules() {
  inside mkdir -p /root/no-rules
  inside env TARNWELL_RULES=/root/no-rules "$program" /Rules >/dev/null 2>&1
  sweeps_rules "the installed program" "$(rules_verdict $?)"
}

check_units_load() {
  echo "== systemd-analyze verify =="
  local output
  # --man=no: the tree has no man-db to look the page up with (check_purge sees it installed).
  output=$(inside systemd-analyze verify --man=no /lib/systemd/system/tarnwell.service \
    /lib/systemd/system/tarnwell.timer 2>&1) || fail "systemd-analyze verify: exit status $?"
  [ -z "$output" ] || fail "systemd-analyze verify: $output"
}

check_security_score() {
  echo "== systemd-analyze security =="
  local score
  score=$(inside systemd-analyze security --no-pager tarnwell.service |
    sed -n 's/^→ Overall exposure level for tarnwell.service: \([0-9.]*\) .*/\1/p')
  echo "exposure level: ${score:-none}"
  [ -n "$score" ] || fail "systemd-analyze security printed no exposure level"
  awk -v score="$score" 'BEGIN { exit !(score <= 2.0) }' ||
    fail "exposure level $score, above 2.0"
}

# Logs live in many places: each must stay sweepable under the sandbox. Other users' files
# in a folder only they may enter need CAP_DAC_OVERRIDE (/home/alice/logs), those in a
# sticky folder owned by yet another user CAP_FOWNER (/var/tmp/shared: in /tmp itself, a
# sticky folder that root owns, root needs neither); /mnt and /media hold mounted file
# systems.
check_sweeps() {
  echo "== sweeps of every place =="
  inside useradd --create-home alice
  inside useradd --create-home bob
  inside mkdir -p /mnt/data /media/alice/STICK
  inside mount -t tmpfs -o mode=0755 tmpfs /mnt/data
  inside mount -t tmpfs -o "mode=0700,uid=$(inside id -u alice)" tmpfs /media/alice/STICK
  local place folder mode folder_owner file_owner
  # folder, its mode and owner (when the bed makes it), the owner of the files
  for place in \
    "/var/log/corvane 0755 root root" \
    "/srv/corvane/logs 0755 root root" \
    "/opt/corvane/logs 0755 root root" \
    "/home/alice/logs 0700 alice alice" \
    "/tmp 1777 root alice" \
    "/var/tmp/shared 1777 alice bob" \
    "/mnt/data/logs 0755 root root" \
    "/media/alice/STICK/logs 0700 alice alice"; do
    read -r folder mode folder_owner file_owner <<<"$place"
    plant "$folder" "$mode" "$folder_owner" "$file_owner" $((days + 1)) 400 "$days"
    name_folder "$folder"
    run_service || fail "$folder: the service failed"
    journal_has "2 Debug files deleted" || fail "$folder: no count in the journal"
    expect "$folder: left after the sweep" "$(dated "$days") notes.txt" "$(planted_left "$folder")"
  done
}

# As installed, nothing names a folder: no rule (the example is no .conf file), no
# DebugPath. A run says what to configure rather than report a quiet success night after
# night, and nothing about C:\DebugFiles, the fallback no Linux machine configured.
check_nothing_configured() {
  echo "== a run with nothing configured =="
  run_service || fail "nothing configured: the service failed"
  journal_has "tarnwell: nothing to sweep: add a rule in /etc/tarnwell/rules.d or set DebugPath in /etc/tarnwell/registry.reg" ||
    fail "nothing configured: no line saying what to configure"
  run_journal | grep -F 'DebugFiles' && fail "nothing configured: a line about C:\DebugFiles"
}

# Rules dropped into rules.d, each with its own folder and fields: the next run sweeps
# them in the order of their files, after the DebugPath folder, each rule's result on a
# line of its own in the journal and the count the total of the run. A rule the program
# refuses costs only itself: the others are swept, and the failed unit shows it.
check_rules() {
  echo "== retention rules =="
  # The DebugPath folder of check_sweeps holds only young logs by now: it adds nothing.
  name_folder /var/log/corvane
  plant /var/log/myapp 0755 root root $((days + 1)) 400 "$days"
  inside sh -euc 'mkdir -p /srv/worker/logs/node1 && cd /srv/worker/logs/node1 &&
    for age in 29 31 45; do touch "worker-$(date -d "-$age days" +%Y-%m-%d).log"; done' check_rules
  drop_rule myapp.conf "$(printf '%s\n' '# the application and its worker' \
    '[Rule]' 'Path=/var/log/myapp' "DeleteAfterDays=$days" '' \
    '[Rule]' ' path = /srv/worker/logs ' 'DeleteAfterDays=30' 'Depth=1' \
    'Names=worker-{yyyy-MM-dd}.log' 'MaxSize=1G')"
  run_service || fail "rules: the service failed"
  journal_has "tarnwell: rule myapp.conf: /var/log/myapp: 2 deleted" ||
    fail "rules: no line for myapp.conf"
  journal_has "tarnwell: rule myapp.conf#2: /srv/worker/logs: 2 deleted" ||
    fail "rules: no line for myapp.conf#2"
  journal_has "4 Debug files deleted" || fail "rules: no total in the journal"
  expect "rules: left in /var/log/myapp" "$(dated "$days") notes.txt" "$(planted_left /var/log/myapp)"
  expect "rules: left in /srv/worker/logs/node1" "worker-$(inside date -d -29days +%Y-%m-%d).log" \
    "$(inside ls /srv/worker/logs/node1)"

  drop_rule broken.conf "$(printf '%s\n' '[Rule]' 'Path=/var/log/broken' 'DeleteAfterDays=0')"
  plant /var/log/myapp 0755 root root $((days + 2))
  run_service 2>/dev/null && fail "a bad rule: the service succeeded"
  expect "a bad rule: the program's exit status" 1 \
    "$(inside systemctl show -P ExecMainStatus tarnwell.service)"
  run_journal | grep -q '^tarnwell: .*broken\.conf' || fail "a bad rule: no line naming it"
  journal_has "tarnwell: rule myapp.conf: /var/log/myapp: 1 deleted" ||
    fail "a bad rule: the good rule not swept"
  inside rm /etc/tarnwell/rules.d/broken.conf /etc/tarnwell/rules.d/myapp.conf
  inside systemctl reset-failed tarnwell.service
}

# A folder that the sandbox keeps read-only (ProtectSystem=full: /usr) must not pass for a
# clean sweep: the program's notice of the old files it could not delete reaches the
# journal, and nothing is lost. Then the remedy that docs/daily-runs.md gives,
# ReadWritePaths=, makes it sweepable.
check_read_only_folder_notice() {
  echo "== a folder the sandbox keeps read-only =="
  local folder=/usr/local/logs
  plant "$folder" 0755 root root $((days + 1)) 30 400 "$days"
  local everything
  everything=$(planted_left "$folder")
  name_folder "$folder"
  run_service
  journal_has "tarnwell: $folder: 3 old files not deleted: Read-only file system" ||
    fail "$folder: no notice of the old files left in the journal"
  expect "$folder: left under the sandbox" "$everything" "$(planted_left "$folder")"

  edit_service "$(printf '[Service]\nReadWritePaths=%s' "$folder")"
  run_service || fail "$folder with ReadWritePaths=: the service failed"
  journal_has "3 Debug files deleted" || fail "$folder with ReadWritePaths=: no count in the journal"
  expect "$folder: left with ReadWritePaths=" "$(dated "$days") notes.txt" "$(planted_left "$folder")"
  inside systemctl revert tarnwell.service >/dev/null 2>&1
}

check_failed_run() {
  echo "== a run-time error =="
  edit_service "$(printf '[Service]\nExecStart=\nExecStart=%s /DeleteAfterDays=99999999999' "$program")"
  run_service 2>/dev/null && fail "an overflowing day count: the service succeeded"
  expect "the unit after the error" failed "$(inside systemctl is-failed tarnwell.service)"
  expect "the unit's result" exit-code "$(inside systemctl show -P Result tarnwell.service)"
  expect "the program's exit status" 1 "$(inside systemctl show -P ExecMainStatus tarnwell.service)"
  journal_has "Run-time error '6': Overflow" || fail "no error text in the journal"
  inside systemctl revert tarnwell.service >/dev/null 2>&1
  inside systemctl reset-failed tarnwell.service
}

check_timer() {
  echo "== the timer =="
  inside systemctl enable --now tarnwell.timer 2>&1 || fail "systemctl enable --now tarnwell.timer"
  expect "the timer enabled" enabled "$(inside systemctl is-enabled tarnwell.timer)"
  expect "the timer active" active "$(inside systemctl is-active tarnwell.timer)"
  inside systemctl list-timers --no-pager tarnwell.timer
  [ -n "$(inside systemctl show -P NextElapseUSecRealtime tarnwell.timer)" ] ||
    fail "the timer lists no next run"
}

# Every file the package installed is gone, with the registry file an administrator
# edited, and so is anything named after the package that its scripts, systemd or
# enabling the timer left (the bound .deb aside); the enabled timer is stopped.
check_purge() {
  echo "== dpkg --purge =="
  local files
  mapfile -t files < <(inside dpkg-query -L tarnwell)
  printf '%s\n' "${files[@]}" | grep -qx /usr/share/man/man1/tarnwell.1.gz ||
    fail "no man page installed"
  inside dpkg --purge tarnwell >"$scratch/purge.log" 2>&1 || {
    cat "$scratch/purge.log"
    fail "dpkg --purge tarnwell"
  }
  # A folder that remains is the package's only when no other package claims it.
  local left
  left=$(
    inside sh -c 'for path; do
        [ "$path" != /. ] && [ -e "$path" ] || continue
        [ -d "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1 && continue
        echo "$path"
      done' check_purge "${files[@]}"
    inside find / -xdev -name '*tarnwell*' -not -path "$deb_inside"
  )
  expect "files left after the purge" "" "$(sort -u <<<"$left" | xargs)"
  # An armed timer would go on starting a service whose program is gone.
  expect "the timer after the purge" inactive "$(inside systemctl is-active tarnwell.timer)"
}

# An administrator of 1.1.0 named the folder in registry.reg, enabled the timer, then
# upgrades: the edited conffile stays as it is, without a question (1.2.0 ships the same
# registry.reg), the timer stays enabled, and the new service, which also sweeps the rules,
# goes on sweeping that folder.
check_upgrade() {
  echo "== an upgrade from $old_version =="
  inside dpkg -i "$old_deb_inside" >"$scratch/dpkg-old.log" 2>&1 || {
    cat "$scratch/dpkg-old.log"
    die "dpkg -i of tarnwell $old_version failed"
  }
  expect "the version installed first" "$old_version" "$(inside dpkg-query -W -f='${Version}' tarnwell)"
  local folder=/var/log/corvane registry
  plant "$folder" 0755 root root $((days + 1)) 400 "$days"
  name_folder "$folder"
  registry=$(inside cat /etc/tarnwell/registry.reg)
  inside systemctl enable --now tarnwell.timer 2>&1 || fail "$old_version: systemctl enable --now tarnwell.timer"
  run_service || fail "$old_version: the service failed"
  journal_has "2 Debug files deleted" || fail "$old_version: no count in the journal"

  inside dpkg -i "$deb_inside" </dev/null >"$scratch/dpkg-upgrade.log" 2>&1 || {
    cat "$scratch/dpkg-upgrade.log"
    die "the upgrade failed"
  }
  grep -i 'configuration file' "$scratch/dpkg-upgrade.log" && fail "the upgrade asked about a configuration file"
  expect "the version after the upgrade" "$(dpkg-deb -f "$deb" Version)" \
    "$(inside dpkg-query -W -f='${Version}' tarnwell)"
  expect "registry.reg after the upgrade" "$registry" "$(inside cat /etc/tarnwell/registry.reg)"
  expect "dpkg's copies beside the conffiles" "" "$(inside find /etc/tarnwell -name '*.dpkg-*')"
  inside test -f /etc/tarnwell/rules.d/example.conf.disabled || fail "no example rule after the upgrade"
  expect "the timer after the upgrade" "enabled active" \
    "$(inside systemctl is-enabled tarnwell.timer) $(inside systemctl is-active tarnwell.timer)"
  inside systemctl show -P ExecStart tarnwell.service | grep -qF "argv[]=$program /DeleteAfterDays=14 /Rules ;" ||
    fail "the service after the upgrade: $(inside systemctl show -P ExecStart tarnwell.service)"

  plant "$folder" 0755 root root $((days + 1)) 400
  run_service || fail "after the upgrade: the service failed"
  journal_has "2 Debug files deleted" || fail "after the upgrade: no count in the journal"
  expect "after the upgrade: left in $folder" "$(dated "$days") notes.txt" "$(planted_left "$folder")"
}

main() {
  local started=$SECONDS deb=${1:-}
  start_bed
  if [ -z "$deb" ]; then
    scripts/package.sh "$scratch/dist" >"$scratch/package.log" 2>&1 || {
      cat "$scratch/package.log"
      die "scripts/package.sh"
    }
    deb=$(echo "$scratch"/dist/tarnwell_*.deb)
  else
    scripts/install-deps.sh || die "scripts/install-deps.sh"
  fi
  [ -f "$deb" ] || die "no .deb: $deb"
  deb=$(realpath "$deb")
  package_old_release

  boot --bind-ro="$deb:$deb_inside"
  check_install
  check_units_load
  check_security_score
  local rules=""
  installed_program_sweeps_rules && rules=1
  [ -z "$rules" ] || check_nothing_configured
  check_sweeps
  [ -z "$rules" ] || check_rules
  check_read_only_folder_notice
  check_failed_run
  check_timer
  check_purge
  power_off

  boot --bind-ro="$deb:$deb_inside" --bind-ro="$old_deb:$old_deb_inside"
  check_upgrade
  end_bed
  echo "systemd bed: $((SECONDS - started)) s"
  finish "systemd bed"
}

main "$@"
