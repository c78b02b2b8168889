#!/bin/sh
# keep_stderr.sh WINE TEST-PROGRAM [ARGUMENT...]: runs a test program under Wine with its
# standard error kept in a file as well, named by TARNWELL_E2E_STDERR. Wine writes the
# traces of every program that the test starts to that same standard error (whatever
# handles the program was given), and the tests read the Event Log's traces from it.
file=$(mktemp "${TMPDIR:-/tmp}/tarnwell-e2e-stderr.XXXXXX") || exit 1
export TARNWELL_E2E_STDERR="$file"
"$@" 2>>"$file"
status=$?
cat "$file" >&2
rm -f "$file"
exit "$status"
