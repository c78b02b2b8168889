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

# sweeps_rules WHAT VERDICT: whether WHAT, a program, sweeps retention rules, as VERDICT
# says: "yes"; "no" or any other text, a failure it describes. The checks of the rules
# themselves run only after a "yes": a program without them fails here once, not in each.
sweeps_rules() {
  case $2 in
    yes) return 0 ;;
    no) fail "$1 does not sweep retention rules" ;;
    *) fail "$1: $2" ;;
  esac
  return 1
}

# rules_verdict STATUS: the verdict for sweeps_rules from the exit status of a Linux
# program's run of /Rules alone with no rule configured: 0 (it says there is none) from one
# with rules, 2 (the usage message: no /DeleteAfterDays) from one without.
rules_verdict() {
  case $1 in
    0) echo yes ;;
    2) echo no ;;
    *) echo "/Rules alone with no rule configured: exit status $1" ;;
  esac
}
