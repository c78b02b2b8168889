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

# The retention rules (/Rules) are written on another branch. Until it is merged the program
# takes /Rules alone for a command line without /DeleteAfterDays (the usage message), and
# the checks of rules wait, each script saying so; once it is merged they run by themselves.
# Then delete this line: a program that has lost its rules must fail those checks, not send
# them waiting.
rules_pending=1

# sweeps_rules STATUS WHAT: whether WHAT, a program, sweeps retention rules, told by the
# exit status STATUS of its run of /Rules alone with no rule configured: 0 (it says there
# is none) when it does; 2 (the usage message) from a program without them, a failure
# unless rules_pending; anything else a failure.
sweeps_rules() {
  case $1 in
    0) return 0 ;;
    2)
      if [ -n "${rules_pending:-}" ]; then
        echo "WAITING: $2 has no retention rules yet (/Rules alone is the usage message): the checks of rules wait for them"
      else
        fail "$2 does not sweep retention rules: /Rules alone is the usage message"
      fi
      return 1
      ;;
    *)
      fail "$2: /Rules alone with no rule configured: exit status $1"
      return 1
      ;;
  esac
}
