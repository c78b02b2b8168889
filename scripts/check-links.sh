#!/usr/bin/env bash
# check-links.sh: fails when a link in README.md or a page under docs/ names a file that does
# not exist or a heading that its page does not have. Links to other sites (https:, mailto:)
# are not followed. Anchors are made from headings as GitHub makes them for ASCII text:
# lower case, every character but letters, digits, blanks, `-` and `_` dropped, each blank
# a `-`, and `-1`, `-2`, ... after a heading's second, third, ... occurrence.
set -euo pipefail
cd "$(dirname "$0")/.."

# anchors FILE: the anchors of FILE's headings, one a line.
anchors() {
  awk '
    /^(```|~~~)/ { fenced = !fenced; next }
    fenced || !/^#+ / { next }
    {
      text = $0
      sub(/^#+ +/, "", text)
      sub(/ +#* *$/, "", text)
      text = tolower(text)
      gsub(/[^a-z0-9 _-]/, "", text)
      gsub(/ /, "-", text)
      anchor = text
      if (text in seen) anchor = text "-" seen[text]
      seen[text]++
      print anchor
    }' "$1"
}

# links FILE: LINE<TAB>TARGET for each link outside code blocks and code spans.
links() {
  awk '
    /^(```|~~~)/ { fenced = !fenced; next }
    fenced { next }
    {
      text = $0
      gsub(/`[^`]*`/, "", text)
      while (match(text, /\]\([^)]*\)/)) {
        print FNR "\t" substr(text, RSTART + 2, RLENGTH - 3)
        text = substr(text, RSTART + RLENGTH)
      }
    }' "$1"
}

status=0
for file in README.md docs/*.md; do
  while IFS=$'\t' read -r line target; do
    case $target in
    *:*) continue ;;  # another site
    esac
    path=${target%%#*}
    anchor=
    [[ $target == *#* ]] && anchor=${target#*#}
    if [ -z "$path" ]; then
      page=$file
    else
      page=$(realpath -m --relative-to=. "$(dirname "$file")/$path")
    fi
    if [ ! -e "$page" ]; then
      echo "check-links: $file:$line: no such file: $target" >&2
      status=1
    elif [ -n "$anchor" ] && ! anchors "$page" | grep -qxF -- "$anchor"; then
      echo "check-links: $file:$line: $page has no heading #$anchor" >&2
      status=1
    fi
  done < <(links "$file")
done
exit $status
