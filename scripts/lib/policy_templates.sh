# shellcheck shell=bash
# Shared by the package tests (sourced after scripts/lib/checks.sh, not run): Tarnwell's
# Group Policy templates, Tarnwell.admx and en-US/Tarnwell.adml, read with xmllint as the
# Group Policy editor reads them.
#
#   check_policy_templates ADMX ADML   fails for each way the pair strays from what the
#                                      editor loads: the structure (a RELAX NG grammar of
#                                      the parts used, packaging/policy/policy-files.rng),
#                                      then every reference between and within the files
#   policy_count ADMX                  the number of policies
#   policy_key ADMX N                  the registry key of the Nth policy, under HKLM
#   policy_elements ADMX N             the values the Nth policy writes, one line each:
#                                      KIND VALUENAME REQUIRED EXPANDABLE MINVALUE MAXVALUE
#                                      STOREASTEXT, "-" for an attribute not given

policy_grammar="$(dirname "${BASH_SOURCE[0]}")/../../packaging/policy/policy-files.rng"

# policy_xpath FILE EXPRESSION: the string value of EXPRESSION, in which "@NAME@" stands
# for an element NAME of the templates' namespace.
policy_xpath() {
  local expression=$2
  while [[ $expression =~ @([A-Za-z]+)@ ]]; do
    expression=${expression//"${BASH_REMATCH[0]}"/"*[local-name()='${BASH_REMATCH[1]}']"}
  done
  xmllint --xpath "$expression" "$1" 2>/dev/null
}

policy_count() { policy_xpath "$1" "count(//@policy@)"; }

policy_key() { policy_xpath "$1" "string((//@policy@)[$2]/@key)"; }

policy_elements() {
  local line kind attribute value
  # Each element serialised on its own line: <text id="Path" valueName="Path" .../>
  policy_xpath "$1" "(//@policy@)[$2]/@elements@/*" | sed 's|/>|&\n|g' | grep '<' |
    while read -r line; do
      kind=${line#<}
      printf '%s' "${kind%% *}"
      for attribute in valueName required expandable minValue maxValue storeAsText; do
        value=$(sed -n "s/.* $attribute=\"\([^\"]*\)\".*/\1/p" <<<"$line")
        printf ' %s' "${value:--}"
      done
      echo
    done
}

# names_in FILE EXPRESSION: the values of the attributes EXPRESSION selects, one a line.
names_in() {
  policy_xpath "$1" "$2" | sed 's/^ *[a-zA-Z]*="\([^"]*\)"$/\1/' | grep -v '^$'
}

# referenced KIND [FILE]: the names that $(KIND.NAME) references in FILE (or the standard
# input) give, each once.
referenced() {
  grep -o "\\\$($1\\.[A-Za-z0-9_.]*)" "${@:2}" | sed "s/^.(\\(.*\\))\$/\\1/; s/^$1\\.//" | sort -u
}

# expect_unique WHAT NAME...: each NAME once.
expect_unique() {
  local what=$1
  shift
  expect "$what given twice" "" "$(printf '%s\n' "$@" | sort | uniq -d | xargs)"
}

check_policy_templates() {
  local admx=$1 adml=$2 file reference n ids controls
  for file in "$admx" "$adml"; do
    xmllint --noout --relaxng "$policy_grammar" "$file" 2>&1 | grep -v ' validates$' &&
      fail "$(basename "$file"): not as the Group Policy editor reads it"
  done

  local policies categories definitions strings presentations
  mapfile -t policies < <(names_in "$admx" "//@policy@/@name")
  mapfile -t categories < <(names_in "$admx" "//@category@/@name")
  mapfile -t definitions < <(names_in "$admx" "//@definition@/@name")
  mapfile -t strings < <(names_in "$adml" "//@string@/@id")
  mapfile -t presentations < <(names_in "$adml" "//@presentation@/@id")
  expect_unique "policies" "${policies[@]}"
  expect_unique "categories" "${categories[@]}"
  expect_unique "strings" "${strings[@]}"
  expect_unique "presentations" "${presentations[@]}"

  # Every text the ADMX names is in the ADML; every category a parent, every supportedOn a
  # definition.
  while read -r reference; do
    printf '%s\n' "${strings[@]}" | grep -qxF "$reference" || fail "Tarnwell.adml has no string $reference"
  done < <(referenced string "$admx")
  while read -r reference; do
    printf '%s\n' "${presentations[@]}" | grep -qxF "$reference" ||
      fail "Tarnwell.adml has no presentation $reference"
  done < <(referenced presentation "$admx")
  for reference in $(names_in "$admx" "//@parentCategory@/@ref" | sort -u); do
    printf '%s\n' "${categories[@]}" | grep -qxF "$reference" || fail "no category $reference"
  done
  for reference in $(names_in "$admx" "//@policy@/@supportedOn@/@ref" | sort -u); do
    printf '%s\n' "${definitions[@]}" | grep -qxF "$reference" || fail "no supportedOn definition $reference"
  done

  # Each policy's boxes are its elements, one each.
  for ((n = 1; n <= ${#policies[@]}; n++)); do
    reference=$(policy_xpath "$admx" "string((//@policy@)[$n]/@presentation)" | referenced presentation)
    ids=$(names_in "$admx" "(//@policy@)[$n]/@elements@/*/@id" | sort | xargs)
    controls=$(names_in "$adml" "//@presentation@[@id='$reference']/*/@refId" | sort | xargs)
    expect "${policies[n - 1]}: the boxes of its presentation" "$ids" "$controls"
    # shellcheck disable=SC2086  # the ids, one word each
    expect_unique "${policies[n - 1]}: elements" $ids
  done
}
