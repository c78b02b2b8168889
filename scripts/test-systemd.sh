#!/usr/bin/env bash
# test-systemd.sh [DEB]: boots a minimal Debian 12 with systemd as PID 1 in a container
# (systemd-nspawn), installs the .deb there and tries its service and timer as an
# administrator would: the units load, the sandbox's security score, a sweep of each place
# where logs are kept, the notice for a folder the sandbox keeps read-only, a failed run,
# the timer, and a purge that leaves nothing. DEB defaults to one built by
# scripts/package.sh.
#
# The tree comes from debootstrap once and is cached in /var/tmp/tarnwell-systemd-bed; it
# is reused while the stamp beside it holds the very arguments it was made with (suite,
# variant, packages, architecture and the mirror the machine's apt sources name), and it
# is never written to: each boot lays a fresh overlay on it (--volatile=overlay).
#
# Needs root, systemd-nspawn and debootstrap. It fails, never skips, when the container
# cannot boot, and always powers the container off and removes its control groups.

# The sh -c scripts below run inside the container, where their "$1" expands.
# shellcheck disable=SC2016
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

readonly suite=bookworm
readonly cache=/var/tmp/tarnwell-systemd-bed
readonly deb_inside=/root/tarnwell.deb
readonly program=/usr/bin/tarnwell
# The shipped service's day count: a file this many days old stays, one a day older goes.
readonly days=14

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# expect DESCRIPTION EXPECTED ACTUAL
expect() { [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"; }
# die MESSAGE: the bed itself cannot go on (the exit trap still cleans up).
die() {
  echo "FAIL: $*"
  exit 1
}

scratch=""
nspawn_pid=""
init_pid=""
cgroups=()
cleaned=""

# --- The cached tree ---------------------------------------------------------------------

# The URI of the Debian archive that this machine's own apt sources use for $suite: deb822
# stanzas in *.sources first, then one-line entries in sources.list and *.list.
debian_mirror() {
  local sources=(/etc/apt/sources.list.d/*.sources) lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list)
  {
    awk -v suite="$suite" '
      BEGIN { RS = "" }  # one stanza per paragraph
      {
        delete field
        n = split($0, lines, "\n")
        for (i = 1; i <= n; i++) {
          if (lines[i] ~ /^#/ || !match(lines[i], /^[A-Za-z-]+:/)) continue
          value = substr(lines[i], RLENGTH + 1)
          gsub(/[ \t]+/, " ", value)
          field[tolower(substr(lines[i], 1, RLENGTH - 1))] = " " value " "
        }
        if (field["types"] ~ / deb / && field["suites"] ~ " " suite " " &&
            field["enabled"] !~ / no /) {
          split(field["uris"], uris, " ")
          print uris[1]
        }
      }' "${sources[@]}" 2>/dev/null
    sed -e 's/\[[^]]*\]//' "${lists[@]}" 2>/dev/null | awk -v suite="$suite" '$1 == "deb" && $3 == suite { print $2 }'
  } | head -n 1
}

# debootstrap_options: the one place the tree's recipe is written, all but the mirror.
debootstrap_options() {
  echo --arch="$(dpkg --print-architecture)" --variant=minbase \
    --include=systemd,systemd-sysv,dbus "$suite"
}

# Makes the tree unless the cached one was made from the same recipe and mirror. The new
# tree is built beside the old and renamed into place, and the stamp written last, so a
# run that is interrupted leaves nothing that passes for a valid tree.
ensure_tree() {
  local mirror recipe
  mirror=$(debian_mirror)
  [ -n "$mirror" ] || die "no apt source on this machine names a mirror for $suite"
  recipe="$(debootstrap_options) $mirror"
  if [ -d "$cache/tree" ] && [ "$(cat "$cache/stamp" 2>/dev/null)" = "$recipe" ]; then
    echo "cached tree: $cache/tree"
    return
  fi
  echo "debootstrap $recipe"
  rm -rf "$cache/tree.new" "$cache/stamp"
  # shellcheck disable=SC2046  # the options are words without blanks, split on purpose
  debootstrap $(debootstrap_options) "$cache/tree.new" "$mirror" >"$cache/debootstrap.log" 2>&1 || {
    tail -n 20 "$cache/debootstrap.log"
    die "debootstrap failed (log: $cache/debootstrap.log)"
  }
  rm -rf "$cache/tree"
  mv "$cache/tree.new" "$cache/tree"
  echo "$recipe" >"$cache/stamp"
}

# --- The container -----------------------------------------------------------------------

# Without systemd as the host's PID 1 nobody gives the container a control group of its
# own, and nspawn --keep-unit refuses to run in the root group: make one in each hierarchy
# systemd tracks processes in (cgroup2, and the named v1 "systemd" one on a hybrid host).
make_cgroups() {
  local mount_point
  while read -r mount_point; do
    cgroups+=("$mount_point/tarnwell-bed.$$")
    mkdir "$mount_point/tarnwell-bed.$$" || die "cannot make a control group in $mount_point"
  done < <(awk '$9 == "cgroup2" || ($9 == "cgroup" && $NF ~ /(^|,)name=systemd(,|$)/) { print $5 }' \
    /proc/self/mountinfo)
  ((${#cgroups[@]})) || die "no cgroup2 or name=systemd hierarchy is mounted"
}

# Starts the container from a shell that first moves into the bed's control groups (the
# script itself stays outside them), then waits for its systemd to finish booting.
boot() {
  local deb=$1 group
  (
    for group in "${cgroups[@]}"; do echo "$BASHPID" >"$group/cgroup.procs" || exit 1; done
    # --private-network: the service's own PrivateNetwork= needs a container that may set
    # up its loopback device; nothing inside needs the host's network.
    exec systemd-nspawn --directory="$cache/tree" --boot --volatile=overlay --register=no \
      --keep-unit --console=pipe --private-network --settings=no --machine="tarnwell-bed-$$" \
      --bind-ro="$deb:$deb_inside"
  ) >"$scratch/boot.log" 2>&1 &
  nspawn_pid=$!
  find_init || {
    cat "$scratch/boot.log"
    die "the container did not start"
  }
  # Until its manager answers at all, systemctl fails: ask again, for two minutes at most.
  local state="" deadline=$((SECONDS + 120))
  while ((SECONDS < deadline)); do
    state=$(inside timeout 60 systemctl is-system-running --wait 2>/dev/null) && break
    [ "$state" = degraded ] && break
    sleep 0.5
  done
  case $state in
    running) ;;
    degraded) inside systemctl --failed --no-legend ;;  # booted; the failure is not ours
    *)
      cat "$scratch/boot.log"
      die "the container did not boot: system state [$state]"
      ;;
  esac
  echo "booted: $(inside systemctl --version | head -n 1), PID 1 is $(inside cat /proc/1/comm)"
}

# Sets init_pid to the host's PID of the container's PID 1: the child of nspawn that is 1
# in its own PID namespace.
find_init() {
  local child
  for _ in $(seq 100); do
    kill -0 "$nspawn_pid" 2>/dev/null || return 1
    for child in $(pgrep -P "$nspawn_pid"); do
      if [ "$(awk '/^NSpid:/ { print $NF }' "/proc/$child/status" 2>/dev/null)" = 1 ]; then
        init_pid=$child
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}

# inside COMMAND...: runs COMMAND in the container, with a clean environment.
inside() {
  nsenter --target="$init_pid" --all -- \
    env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 "$@"
}

# An orderly power-off (SIGRTMIN+4 to systemd, as machinectl poweroff sends); whatever
# still runs after 60 seconds is killed through the control group.
power_off() {
  [ -n "$nspawn_pid" ] || return 0
  if kill -0 "$nspawn_pid" 2>/dev/null; then
    if [ -n "$init_pid" ]; then kill -s RTMIN+4 "$init_pid" 2>/dev/null; else kill "$nspawn_pid"; fi
    for _ in $(seq 600); do
      kill -0 "$nspawn_pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$nspawn_pid" 2>/dev/null; then
      fail "the container did not power off within 60 s: killed"
      kill_cgroups
    fi
  fi
  wait "$nspawn_pid" 2>/dev/null
  nspawn_pid=""
}

kill_cgroups() {
  local group
  for group in "${cgroups[@]}"; do
    [ -e "$group/cgroup.kill" ] && echo 1 >"$group/cgroup.kill"
  done
  kill -KILL "$nspawn_pid" 2>/dev/null
}

# Removes the bed's control groups with what nspawn and the container's systemd made in
# them, innermost first.
remove_cgroups() {
  local group
  for group in "${cgroups[@]}"; do
    [ -d "$group" ] || continue
    find "$group" -depth -type d -exec rmdir {} + 2>/dev/null
    [ ! -d "$group" ] || fail "control group left behind: $group"
  done
  cgroups=()
}

cleanup() {
  [ -z "$cleaned" ] || return 0
  cleaned=1
  power_off
  remove_cgroups
  [ -z "$scratch" ] || rm -rf "$scratch"
}

# --- Runs of the service -----------------------------------------------------------------

# run_service: starts tarnwell.service and waits for it to end (it is Type=oneshot);
# returns systemctl's status. The journal's position before the run is kept in $cursor.
run_service() {
  cursor=$(inside journalctl --quiet --lines=1 --show-cursor --output=cat | sed -n 's/^-- cursor: //p')
  inside systemctl start tarnwell.service
}

# journal_has LINE: whether the last run's journal holds LINE, in the program's output or
# systemd's messages about the unit. journald reads the service's output stream at its own
# pace, so a line may arrive after the unit has ended: wait for it, up to 5 s.
journal_has() {
  for _ in $(seq 50); do
    inside journalctl --quiet --output=cat --unit=tarnwell.service --after-cursor="$cursor" |
      grep -qxF -- "$1" && return 0
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

# --- The checks --------------------------------------------------------------------------

check_install() {
  echo "== dpkg -i =="
  inside dpkg -i "$deb_inside" >"$scratch/dpkg.log" 2>&1 || {
    cat "$scratch/dpkg.log"
    die "dpkg -i failed"
  }
  expect "the service's unit file" /lib/systemd/system/tarnwell.service \
    "$(inside systemctl show -P FragmentPath tarnwell.service)"
  # Installed, not enabled: deleting files on a schedule is the administrator's call.
  expect "the timer after installation" disabled "$(inside systemctl is-enabled tarnwell.timer)"
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

main() {
  [ "$(id -u)" -eq 0 ] || die "must run as root (systemd-nspawn, debootstrap, control groups)"
  local started=$SECONDS deb=${1:-}
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarnwell-systemd.XXXXXX")
  trap cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
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

  mkdir -p "$cache"
  # Another bed may be building or booting the same tree: build it alone, boot it shared.
  exec {lock}>"$cache/lock"
  flock --exclusive "$lock"
  ensure_tree
  flock --shared "$lock"

  make_cgroups
  boot "$deb"
  check_install
  check_units_load
  check_security_score
  check_sweeps
  check_read_only_folder_notice
  check_failed_run
  check_timer
  check_purge
  cleanup
  echo "systemd bed: $((SECONDS - started)) s"

  if ((failures)); then
    echo "systemd bed: $failures failed"
    exit 1
  fi
  echo "systemd bed passed."
}

main "$@"
