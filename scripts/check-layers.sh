#!/usr/bin/env bash
# check-layers.sh: fails when a file includes a layer above its own. The layers, lowest
# first: base/ <- platform/ <- general/ <- app/, ui/.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
check() {  # FOLDER FORBIDDEN-FOLDER...
  local folder=$1
  shift
  local pattern
  pattern="^\s*#\s*include\s*\"($(IFS='|'; echo "$*"))/"
  if grep -rnE "$pattern" "$folder" --include='*.h' --include='*.cpp'; then
    echo "check-layers: $folder/ may not include $*" >&2
    status=1
  fi
}
check base platform general app ui
check platform general app ui
check general app ui
check app ui
check ui app
[ "$status" -eq 0 ] && echo "Layers: every include goes downwards."
exit "$status"
