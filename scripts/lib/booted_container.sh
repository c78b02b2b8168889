# shellcheck shell=bash
# Shared by the scripts that try Tarnwell where systemd is PID 1 (sourced after
# scripts/lib/checks.sh, not run): a minimal Debian 12 booted with systemd-nspawn.
#
#   start_bed          first, as root: makes `scratch`, a folder of the script's own, and
#                      traps that call end_bed however the script ends
#   boot [OPTION...]   boots the container on a fresh overlay of the cached tree; each
#                      OPTION goes to systemd-nspawn (--bind-ro=HOST-PATH:PATH-INSIDE to
#                      hand it a .deb or a folder)
#   inside COMMAND...  runs COMMAND in the booted container, with a clean environment
#   power_off          powers the container off and removes its control groups; boot may
#                      follow, and starts again from the untouched tree
#   end_bed            power_off, and `scratch` removed; call it before finish, so that
#                      what goes wrong in the power-off is counted
#
# The tree comes from debootstrap once and is cached in /var/tmp/tarnwell-systemd-bed; it
# is reused while the stamp beside it holds the very arguments it was made with (suite,
# variant, packages, architecture and the mirror the machine's apt sources name), and it
# is never written to: each boot lays a fresh overlay on it (--volatile=overlay).
#
# Needs root, systemd-nspawn and debootstrap. It fails, never skips, when the container
# cannot boot, and always powers the container off and removes its control groups.

readonly suite=bookworm
readonly cache=/var/tmp/tarnwell-systemd-bed

scratch=""
tree_lock=""
nspawn_pid=""
init_pid=""
cgroups=()
ended=""

start_bed() {
  [ "$(id -u)" -eq 0 ] || die "must run as root (systemd-nspawn, debootstrap, control groups)"
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarnwell-systemd.XXXXXX")
  trap end_bed EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
}

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

# Another script may be building or booting the same tree: build it alone, boot it shared.
# The shared lock is held until the script ends, so nobody replaces the tree under a boot.
lock_tree() {
  [ -z "$tree_lock" ] || return 0
  mkdir -p "$cache"
  exec {tree_lock}>"$cache/lock"
  flock --exclusive "$tree_lock"
  ensure_tree
  flock --shared "$tree_lock"
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

# boot [OPTION...]: starts the container from a shell that first moves into the bed's
# control groups (the script itself stays outside them), then waits for its systemd to
# finish booting.
boot() {
  [ -z "$nspawn_pid" ] || die "boot: a container is still running (power_off first)"
  lock_tree
  make_cgroups
  local group
  (
    for group in "${cgroups[@]}"; do echo "$BASHPID" >"$group/cgroup.procs" || exit 1; done
    # --private-network: the service's own PrivateNetwork= needs a container that may set
    # up its loopback device; nothing inside needs the host's network.
    exec systemd-nspawn --directory="$cache/tree" --boot --volatile=overlay --register=no \
      --keep-unit --console=pipe --private-network --settings=no --machine="tarnwell-bed-$$" \
      "$@"
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
# still runs after 60 seconds is killed through the control group. The control groups go
# in any case.
power_off() {
  if [ -n "$nspawn_pid" ]; then
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
    init_pid=""
  fi
  remove_cgroups
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

end_bed() {
  [ -z "$ended" ] || return 0
  ended=1
  power_off
  [ -z "$scratch" ] || rm -rf "$scratch"
}
