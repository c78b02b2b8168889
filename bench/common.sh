# Shared by the benchmark scripts (sourced, not run): medians, one timed run, and paired
# rounds of several tools on fresh identical copies of one folder. The caller sets
# `scratch`, a folder of its own for the copies and the timings.

# prepare PROGRAM TARGET NAME: builds TARGET of the native preset unless PROGRAM is there,
# and makes `scratch`, a fresh folder on the local disk (tmpfs would flatter every tool),
# removed when the script ends.
prepare() {
  if [ ! -x "$1" ]; then
    cmake --preset native >/dev/null && cmake --build --preset native --target "$2" >/dev/null
  fi
  scratch=$(mktemp -d "${TARNWELL_BENCH_DIR:-/var/tmp}/tarnwell-$3.XXXXXX")
  trap 'rm -rf "$scratch"' EXIT
}

# arguments DEFAULT_COUNT DEFAULT_VALUES TOOL COUNT ROUNDS VALUE...: reads a script's
# arguments after the first three: sets `count` (default DEFAULT_COUNT), `rounds` (default
# 5) and `tools`, the command "TOOL VALUE" for each VALUE (default: the words of
# DEFAULT_VALUES), for compare.
arguments() {
  local default_count=$1 default_values=$2 tool=$3 value values
  shift 3
  count=${1:-$default_count}
  rounds=${2:-5}
  shift $(($# < 2 ? $# : 2))
  read -r -a values <<<"${*:-$default_values}"
  tools=()
  for value in "${values[@]}"; do tools+=("$tool $value"); done
}

median() {
  sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

load() { cut -d' ' -f1-3 /proc/loadavg; }

# cores_free: how many cores a CPU-bound job gets now, one copy a core run at once: their
# CPU time over the wall time. On a shared host other guests take cores this system's own
# load average never shows; the deleting threads need free cores to gain anything.
cores_free() {
  local TIMEFORMAT='%R %U %S' i times
  times=$({ time {
    for ((i = 0; i < $(nproc); i++)); do awk 'BEGIN { for (i = 0; i < 3e6; i++) s += i }' & done
    wait
  }; } 2>&1)
  awk -v t="$times" 'BEGIN { split(t, v, " "); printf "%.1f", (v[1] > 0 ? (v[2] + v[3]) / v[1] : 0) }'
}

# measure COMMAND...: "wall_ms cpu_ms" of one run (CPU: user+sys), its output discarded.
measure() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" >/dev/null 2>&1; } 2>"$scratch/time"
  awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' "$scratch/time"
}

# compare NAME SOURCE COPY ROUNDS TOOL...: times each TOOL (a command, split into words,
# that takes the folder as its last argument) on SOURCE in ROUNDS rounds. With COPY=yes
# every tool gets its own fresh copy of SOURCE in every round (cp -a, then sync, before
# anything is timed) and the copies must end alike; COPY=apart copies the same way for
# tools meant to leave different files; with COPY=no all run on SOURCE itself. While all
# the copies take at most 6,000,000 entries, every round's are made before the first
# round, so the timed runs follow each other closely: a quiet spell on a shared host then
# covers the whole comparison. Each round starts with a sync all the same. With
# TARNWELL_BENCH_QUIET=CORES set, the first round waits (after the copies) until a
# CPU-bound job gets that many cores twice in a row, 10 seconds apart.
# The order rotates from round to round, so each tool goes first as often as the others
# (two tools take turns). The last TOOL is the reference: for each other tool the line
# gives the median of its per-round ratios of wall time to the reference's, then medians
# of wall and of CPU time; the rounds' ratios follow. The reference's line says how many
# entries its copy kept in the last round.
compare() {
  local name=$1 source=$2 copy=$3 rounds=$4
  shift 4
  local tools=("$@") n=$# r i k left=
  local -A wall cpu
  local loads=() cores=() ahead=no
  # copies ROUND: the copies of SOURCE for ROUND.
  copies() { for ((i = 0; i < n; i++)); do cp -a "$source" "$scratch/copy$1.$i"; done; }
  if [ "$copy" != no ] &&
    ((rounds * n * $(find "$source" -mindepth 1 -maxdepth 1 | wc -l) <= 6000000)); then
    ahead=yes
    for ((r = 0; r < rounds; r++)); do copies "$r"; done
  fi
  if [ -n "${TARNWELL_BENCH_QUIET:-}" ]; then
    sync
    until awk -v a="$(cores_free)" -v b="$(sleep 10 && cores_free)" -v q="$TARNWELL_BENCH_QUIET" \
      'BEGIN { exit !(a >= q && b >= q) }'; do sleep 20; done
  fi
  for ((r = 0; r < rounds; r++)); do
    local dirs=()
    for ((i = 0; i < n; i++)); do
      dirs[i]=$source
      [ "$copy" = no ] || dirs[i]=$scratch/copy$r.$i
    done
    [ "$copy" = no ] || [ "$ahead" = yes ] || copies "$r"
    sync
    loads+=("$(cut -d' ' -f1 /proc/loadavg)") cores+=("$(cores_free)")
    for ((k = 0; k < n; k++)); do
      i=$(((k + r) % n))
      # shellcheck disable=SC2086 # a tool is a command of several words
      read -r "wall[$i,$r]" "cpu[$i,$r]" <<<"$(measure ${tools[i]} "${dirs[i]}")"
    done
    if [ "$copy" != no ]; then
      left=$(find "${dirs[n - 1]}" -mindepth 1 -maxdepth 1 | wc -l)
      for ((i = 0; i < n - 1; i++)); do
        [ "$copy" = yes ] || break
        diff -q <(ls "${dirs[i]}") <(ls "${dirs[n - 1]}") >/dev/null ||
          echo "warning: $name: ${tools[i]} and ${tools[n - 1]} left different files" >&2
      done
      rm -rf "${dirs[@]}"
    fi
  done
  local ref=$((n - 1)) ratios walls cpus
  for ((i = 0; i < n; i++)); do
    walls=() cpus=() ratios=()
    for ((r = 0; r < rounds; r++)); do
      walls+=("${wall[$i,$r]}") cpus+=("${cpu[$i,$r]}")
      ratios+=("$(awk -v a="${wall[$i,$r]}" -v b="${wall[$ref,$r]}" 'BEGIN { printf "%.3f", b ? a / b : 0 }')")
    done
    if ((i == ref)); then
      printf '%-13s %-26s            wall ms %6s   cpu ms %6s%s\n' "$name" "${tools[i]}" \
        "$(printf '%s\n' "${walls[@]}" | median)" "$(printf '%s\n' "${cpus[@]}" | median)" \
        "${left:+   entries left $left}"
    else
      printf '%-13s %-26s ratio %5s wall ms %6s   cpu ms %6s   rounds [%s]\n' "$name" \
        "${tools[i]}" "$(printf '%s\n' "${ratios[@]}" | median)" \
        "$(printf '%s\n' "${walls[@]}" | median)" "$(printf '%s\n' "${cpus[@]}" | median)" \
        "${ratios[*]}"
    fi
  done
  printf '%-13s load at the start of each round [%s], cores free [%s]\n' "$name" "${loads[*]}" \
    "${cores[*]}"
}
