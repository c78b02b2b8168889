#!/usr/bin/env bash
# test-packages.sh [DIST]: builds the release artifacts with scripts/package.sh and uses
# them as an administrator would: lintian and an extracted tree for the .deb, the zip's
# listing, and the MSI in a throw-away Wine prefix (scripts/test-msi-in-wine.sh). The
# artifacts are kept in DIST when given (scripts/test.sh hands the .deb on to
# scripts/test-systemd.sh), else removed with the rest of the scratch folder.
# Expects the native and windows presets built (scripts/test.sh does that).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
. scripts/lib/checks.sh
. scripts/lib/policy_templates.sh

dist=$(mktemp -d "${TMPDIR:-/tmp}/tarnwell-dist.XXXXXX")
trap 'chmod -R u+w "$dist"; rm -rf "$dist"' EXIT
out=$(realpath -m "${1:-$dist/out}")
scripts/package.sh "$out" >"$dist/package.log" 2>&1 || {
  cat "$dist/package.log"
  die "scripts/package.sh"
}
version=$(sed -n 's/^project(Tarnwell VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="$out/tarnwell_${version}_amd64.deb"
zip="$out/Tarnwell-$version-win64.zip"
msi="$out/Tarnwell-$version-x64.msi"
for artifact in "$deb" "$zip" "$msi"; do
  [ -f "$artifact" ] || fail "scripts/package.sh made no $(basename "$artifact")"
done

echo "== cmake --install, native preset =="
# By default nothing goes outside the prefix: no /etc, no systemd units. The pages under
# docs/ and their pictures go beside the README, whose links name them.
pages=()
for page in docs/*.md docs/*.png; do
  [ -e "$page" ] && pages+=("$page")
done
cmake --install build/native --prefix "$dist/prefix" >/dev/null || fail "cmake --install"
expect "installed under the prefix" \
  "$(printf '%s\n' bin/tarnwell share/doc/tarnwell/LICENSE share/doc/tarnwell/README.md \
    share/man/man1/tarnwell.1 share/bash-completion/completions/tarnwell \
    "${pages[@]/#/share/doc/tarnwell/}" | sort | xargs)" \
  "$(cd "$dist/prefix" && find . -type f | sed 's|^\./||' | sort | xargs)"

echo "== .deb: lintian =="
# Every tag is shown; only errors and warnings fail (--fail-on), whatever else is shown.
lintian_report=$(lintian --fail-on error,warning --display-info --pedantic "$deb" 2>&1)
lintian_status=$?
grep -v 'running with root privileges' <<<"$lintian_report"
((lintian_status == 0)) || fail "lintian errors or warnings"

echo "== .deb: contents =="
dpkg-deb -c "$deb" | awk '{print $1, $6}'
tree="$dist/tree"
dpkg-deb -x "$deb" "$tree"
dpkg-deb -e "$deb" "$dist/control"
for path in usr/bin/tarnwell usr/share/man/man1/tarnwell.1.gz usr/share/doc/tarnwell/copyright \
  usr/share/bash-completion/completions/tarnwell \
  etc/tarnwell/registry.reg etc/tarnwell/rules.d/example.conf.disabled \
  lib/systemd/system/tarnwell.service lib/systemd/system/tarnwell.timer; do
  [ -f "$tree/$path" ] || fail "not in the .deb: /$path"
done
# The documentation, compressed where dh_compress finds it worth it.
for path in usr/share/doc/tarnwell/README.md "${pages[@]/#/usr/share/doc/tarnwell/}"; do
  [ -f "$tree/$path" ] || [ -f "$tree/$path.gz" ] || fail "not in the .deb: /$path"
done
expect "conffiles" "/etc/tarnwell/registry.reg /etc/tarnwell/rules.d/example.conf.disabled" \
  "$(sort "$dist/control/conffiles" | xargs)"
# Installed, neither enabled nor started: postinst may only re-enable a timer the
# administrator had enabled before an upgrade, and start or restart nothing but the timer,
# through deb-systemd-invoke, which leaves a disabled unit alone (scripts/test-systemd.sh
# sees both happen). Only the timer starts the service.
postinst="$dist/control/postinst"
expect "units postinst starts" tarnwell.timer \
  "$(grep -o 'deb-systemd-invoke [^>]*' "$postinst" | grep -o '[a-z-]*\.\(service\|timer\)' | sort -u | xargs)"
expect "enables in postinst, each after was-enabled" "$(grep -c 'was-enabled' "$postinst")" \
  "$(grep -c 'deb-systemd-helper enable' "$postinst")"
# The DebugPath folder, as 1.1.0's service swept it, then every rule.
expect "the service's command" "/usr/bin/tarnwell /DeleteAfterDays=14 /Rules" \
  "$(sed -n 's/^ExecStart=//p' "$tree/lib/systemd/system/tarnwell.service")"

echo "== .deb: the extracted program =="
program="$tree/usr/bin/tarnwell"
expect "--version" "tarnwell $version" "$("$program" --version)"
usage=$("$program")
expect "exit status after the usage message" 2 "$?"
help=$("$program" --help)
expect "--help exit status" 0 "$?"
# The GNU way first, then the Windows way with the usage message it shows.
expect "--help first line" "Usage: tarnwell [OPTION]... [FOLDER]" "$(head -n 1 <<<"$help")"
grep -qxF "$usage" <<<"$help" || fail "--help does not show the usage message: $usage"
bash tests/e2e/posix/completion.sh "$tree/usr/share/bash-completion/completions/tarnwell" ||
  fail "the .deb's bash completion"

logs="$dist/logs"
mkdir "$logs"
touch "$logs/old.$(day -8).log" "$logs/young.$(day -7).log" "$logs/other.txt"
export TARNWELL_REGISTRY="$tree/etc/tarnwell/registry.reg"
# The shipped registry file is valid and names no folder: nothing is swept, no warning.
expect "run on the shipped registry file" "0 Debug files deleted" \
  "$("$program" /DeleteAfterDays=7 2>&1)"
expect "sweep of a folder" "1 Debug files deleted" "$("$program" /DeleteAfterDays=7 "/Path=$logs")"
expect "left after the sweep" "other.txt young.$(day -7).log" "$(cd "$logs" && echo *)"
touch "$logs/old.$(day -9).log"
expect "the GNU way" "1 Debug files deleted" "$("$program" --older-than=7 "$logs")"
# Its commented example, uncommented as it says, names the folder.
touch "$logs/old.$(day -30).log"
sed -e 's/^; \(\[HKEY\|"DebugPath"\)/\1/' -e "s|/var/log/myapp|$logs|" \
  "$TARNWELL_REGISTRY" >"$dist/registry.reg"
expect "sweep of the example's folder" "1 Debug files deleted" \
  "$(TARNWELL_REGISTRY="$dist/registry.reg" "$program" /DeleteAfterDays=7 2>&1)"
unset TARNWELL_REGISTRY

echo "== .deb: the rules folder =="
rules="$dist/rules.d"
mkdir "$rules"
TARNWELL_RULES="$rules" "$program" /Rules >/dev/null 2>&1
if sweeps_rules "the extracted program" "$(rules_verdict $?)"; then
  # The shipped folder holds no rule: its example is read by nobody.
  shipped_rules="$tree/etc/tarnwell/rules.d"
  expect "/Rules over the shipped folder: the count" "0 Debug files deleted" \
    "$(TARNWELL_RULES="$shipped_rules" "$program" /Rules 2>/dev/null)"
  expect "/Rules over the shipped folder: the notice" \
    "tarnwell: no retention rules in $shipped_rules" \
    "$(TARNWELL_RULES="$shipped_rules" "$program" /Rules 2>&1 >/dev/null)"
  # Its example, copied to a .conf name and uncommented as it says, sweeps: of the log
  # app-DATE.log, 10 files older than its 30 days and one young, it keeps the newest 7.
  mkdir "$logs/myapp"
  for age in 1 $(seq 31 40); do
    touch "$logs/myapp/app-$(date -d "-$age days" +%Y-%m-%d).log"
  done
  sed -e 's/^# \(\[Rule\]\|[A-Za-z]*=\)/\1/' -e "s|^Path=.*|Path=$logs/myapp|" \
    "$shipped_rules/example.conf.disabled" >"$rules/example.conf"
  expect "/Rules over the example: the count" "4 Debug files deleted" \
    "$(TARNWELL_RULES="$rules" "$program" /Rules 2>"$dist/rules.err")"
  expect "/Rules over the example: the rule's line" \
    "tarnwell: rule example.conf: $logs/myapp: 4 deleted" "$(cat "$dist/rules.err")"
  expect "left by the example" 7 "$(find "$logs/myapp" -type f | wc -l)"
  [ -e "$logs/myapp/app-$(date -d '-36 days' +%Y-%m-%d).log" ] ||
    fail "the example's rule deleted one of the newest 7"
fi

echo "== zip =="
# README.txt with its pages beside it, as on Linux: every link of the README holds.
listing=$(unzip -Z1 "$zip")
echo "$listing"
for file in Tarnwell.exe README.txt LICENSE.txt "${pages[@]}" \
  PolicyDefinitions/Tarnwell.admx PolicyDefinitions/en-US/Tarnwell.adml; do
  grep -qx "Tarnwell-$version-win64/$file" <<<"$listing" || fail "not in the zip: $file"
done
grep -o '](docs/[^)#]*' README.md | sed 's/^](//' | sort -u | while read -r page; do
  grep -qx "Tarnwell-$version-win64/$page" <<<"$listing" || echo "FAIL: README.txt links to $page, not in the zip"
done | grep . && fail "pages missing from the zip"
# The version resource (UTF-16 strings: each key is followed by its value) and the manifest.
unzip -p "$zip" "Tarnwell-$version-win64/Tarnwell.exe" >"$dist/Tarnwell.exe"
resources=$(strings -el "$dist/Tarnwell.exe")
for key in FileVersion ProductVersion; do
  expect "Tarnwell.exe $key" "$version" "$(grep -A1 -x "$key" <<<"$resources" | tail -n 1)"
done
grep -q longPathAware "$dist/Tarnwell.exe" || fail "Tarnwell.exe has no application manifest"

echo "== Group Policy templates =="
unzip -q "$zip" "Tarnwell-$version-win64/PolicyDefinitions/*" -d "$dist/zip"
policy_definitions="$dist/zip/Tarnwell-$version-win64/PolicyDefinitions"
admx="$policy_definitions/Tarnwell.admx"
check_policy_templates "$admx" "$policy_definitions/en-US/Tarnwell.adml"
# Eight numbered rules, each writing one rule's fields with the limits of their switches
# (Keep a text box: a number box always writes a value, and "no Keep" could not be said).
rule_values=$(
  cat <<'EOF'
text Path true true - - -
decimal DeleteAfterDays true - 1 1000000 -
text Keep - - - - -
text Names - - - - -
decimal Depth - - 0 16 -
text MaxSize - - - - -
text MinFree - - - - -
EOF
)
expect "policies" 8 "$(policy_count "$admx")"
for n in $(seq "$(policy_count "$admx")"); do
  expect "policy $n: its key" "SOFTWARE\\Policies\\Corvane\\Tarnwell\\Rules\\$n" \
    "$(policy_key "$admx" "$n")"
  expect "policy $n: its values" "$rule_values" "$(policy_elements "$admx" "$n")"
done

echo "== MSI under Wine =="
# The upgrade: the same installer one patch version up.
cmake --build --preset windows --target msi-upgrade >/dev/null || fail "the msi-upgrade target"
newer="build/windows/Tarnwell-${version%.*}.$((${version##*.} + 1))-upgrade-x64.msi"
scripts/with-wine.sh scripts/test-msi-in-wine.sh "$msi" "$version" "$newer" ||
  fail "the MSI under Wine"

finish "Package tests"
