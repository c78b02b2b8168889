#!/usr/bin/env bash
# completion.sh FILE: sources the bash completion FILE into a plain bash and calls its
# function as Tab would, COMP_WORDS and COMP_CWORD set, in a folder of folders that test it.
set -u
. "$(dirname "$0")/../../../scripts/lib/checks.sh"
# shellcheck source=/dev/null
. "$1" || die "cannot source $1"
folder=$(mktemp -d) && cd "$folder" || die "no scratch folder"
trap 'rm -rf "$folder"' EXIT
mkdir -- logs "my logs" -x && touch file.log "x-{yyyy-MM-dd}.log"

# replies WORD...: what Tab offers for the last word, sorted, joined by "|".
replies() {
  COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMPREPLY=()
  _tarnwell
  printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd'|'
}

options="--depth=|--dry-run|--help|--json|--keep=|--list|--max-size=|--min-free=|--names=|--older-than=|--quiet|--rules|--version"
iis="u_ex{yyMMdd}.log|u_ex{yyMMdd}.log|u_ex{yyMMddHH}.log"
expect "options after --" "$options" "$(replies tarnwell --)"
expect "the first word" "$options" "$(replies tarnwell '')"
expect "a prefix" "--max-size=|--min-free=" "$(replies tarnwell -n --m)"
expect "folders after the options" "-x|logs|my logs" "$(replies tarnwell -d 7 '')"
expect "a folder's start" "logs" "$(replies tarnwell -n -d 7 l)"
expect "folders after \"--\"" "-x" "$(replies tarnwell -d 7 -- -)"
expect "--names=" "$iis" "$(replies tarnwell --names = u_)"
expect "--names=, where = breaks no word" "--names=log{yyyyMMdd}.txt" "$(replies tarnwell --names=lo)"
expect "--names with a quote begun" "*-{yyyy-MM-dd}.log" "$(replies tarnwell -d 7 --names "'*-")"
expect "--names, escaped" "*.{yyyy-MM-dd}.log.gz" "$(replies tarnwell --names = '\*.\{')"
expect "patterns, all" 7 "$(replies tarnwell --names = '' >/dev/null && echo ${#COMPREPLY[@]})"
for words in "--older-than =" "--keep =" "--depth =" "-d" "--max-size"; do
  # shellcheck disable=SC2086  # the words of the command line
  expect "a value left to the user after $words" "" "$(replies tarnwell $words '')"
done
expect "the Windows way" "" "$(replies tarnwell /DeleteAfterDays=7 '')"
finish "Completion"
