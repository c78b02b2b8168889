#!/usr/bin/env bash
# Installs what is missing, checks the layering, the formatting and the links of the README
# and docs/, builds the native, sanitizer and Windows targets (warnings are errors), and
# runs every suite: natively, under ASan/UBSan, the deletion's threads under TSan, the
# Windows build under Wine, and each fuzz target for 15 seconds; then builds the .deb, zip
# and MSI and installs and runs them, and tries the .deb's service and timer in a
# container booted with systemd.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

scripts/install-deps.sh || exit 1

failed=()
scripts/check-layers.sh || failed+=("layers")
scripts/check-links.sh || failed+=("links")
find app base general platform tests ui bench packaging \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run --Werror || failed+=("format")

for preset in native asan tsan windows; do
  { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; } ||
    failed+=("build:$preset")
done

run_suite() {
  local preset=$1
  shift
  echo "== $preset suite =="
  "$@" ctest --preset "$preset" -j2 || failed+=("tests:$preset")
}
run_suite native
run_suite asan
# The unit tests of the deleting threads alone (the preset's filter): the whole suite
# under ThreadSanitizer would cost minutes and race nothing else.
run_suite tsan
run_suite windows scripts/with-wine.sh
echo "== fuzz targets =="
scripts/fuzz.sh 15 || failed+=("fuzz")
packages=build/packages
rm -rf "$packages"
echo "== packages ==" && scripts/test-packages.sh "$packages" || failed+=("tests:packages")
# The .deb just tested, installed where systemd is PID 1.
echo "== systemd ==" && scripts/test-systemd.sh "$packages"/tarnwell_*.deb || failed+=("tests:systemd")

if ((${#failed[@]})); then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All suites passed."
