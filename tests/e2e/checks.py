"""Shared by the Python test scripts, as scripts/lib/checks.sh is by the shell ones: checks
that report and count rather than stop, so that one run shows every fault."""
import sys

failures = 0


def expect(what, wanted, got):
    global failures
    if wanted != got:
        failures += 1
        print(f"FAIL: {what}: expected {wanted!r}, got {got!r}")


def finish(name):
    """Ends the script: exit status 1 after any failed check."""
    if failures:
        sys.exit(f"{name}: {failures} failed")
    print(f"{name} passed.")
