# shellcheck shell=bash
# Shared by the test scripts (sourced, not run): checks that report and count rather than
# stop, so that one run shows every fault. A script makes its checks with expect and fail,
# gives up with die only when it cannot go on, and ends with finish.

failures=0

# fail MESSAGE: a check failed; the script goes on.
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# expect DESCRIPTION EXPECTED ACTUAL
expect() { [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"; }

# die MESSAGE: the script cannot go on (an exit trap still cleans up).
die() {
  echo "FAIL: $*"
  exit 1
}

# day N: the date N days from today (N negative for the past), as a log's name has it.
day() { date -d "$1 days" +%Y%m%d; }

# finish NAME: ends the script with the count of failed checks; exit status 1 after any.
finish() {
  if ((failures)); then
    echo "$1: $failures failed"
    exit 1
  fi
  echo "$1 passed."
  exit 0
}
