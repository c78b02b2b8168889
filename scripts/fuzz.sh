#!/usr/bin/env bash
# fuzz.sh [SECONDS] [TARGET...]: builds the libFuzzer targets (fuzz preset) and runs each
# for SECONDS (15 by default), starting from its hand-made seeds in tests/fuzz/corpus/.
# Fails on any crash, broken property, sanitizer report, leak, input slower than 1 s or
# memory above 512 MiB; the input that did it is kept in build/fuzz/findings/TARGET/.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-15}
shift $(($# > 0 ? 1 : 0))
{ cmake --preset fuzz >/dev/null && cmake --build --preset fuzz; } || exit 1

targets=("$@")
if ((${#targets[@]} == 0)); then
  for seeds in tests/fuzz/corpus/*/; do targets+=("$(basename "$seeds")"); done
fi

failed=()
for target in "${targets[@]}"; do
  # The seeds stay as written: what the run learns goes to a corpus of its own.
  corpus=build/fuzz/corpus/$target
  findings=build/fuzz/findings/$target
  log=build/fuzz/$target.log
  mkdir -p "$corpus" "$findings"
  if build/fuzz/tests/fuzz/${target}_fuzz "$corpus" "tests/fuzz/corpus/$target" \
      -max_total_time="$seconds" -timeout=1 -rss_limit_mb=512 -detect_leaks=1 \
      -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    echo "fuzz $target: ${runs:-?} runs, $coverage, ${seconds}s, no findings"
  else
    echo "fuzz $target: FAILED (log: $log, input: $findings/)"
    grep -m5 -E 'ERROR|broken: |runtime error|SUMMARY' "$log"
    failed+=("$target")
  fi
done
((${#failed[@]} == 0)) || { echo "fuzz FAILED: ${failed[*]}"; exit 1; }
