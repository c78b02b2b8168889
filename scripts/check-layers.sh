#!/usr/bin/env bash
# check-layers.sh: fails when a file includes a layer above its own, or reaches into the
# platform layer's per-target sub-folders from outside it. The layers, lowest first:
# base/ <- platform/ <- general/ <- app/, ui/.
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

# platform/posix/ and platform/win32/ are the layer's own: everything above it, entry
# points included, goes through the headers in platform/. Only tests of the layer's inner
# pieces may include them: tests/platform/ and the fuzz target of the .reg reader
# (tests/fuzz/fuzz_targets.cpp).
inner='^\s*#\s*include\s*"platform/(posix|win32)/'
allowed='^(tests/platform/|tests/fuzz/fuzz_targets\.cpp:)'
if grep -rnE "$inner" base general app ui bench tests --include='*.h' --include='*.cpp' |
  grep -vE "$allowed"; then
  echo "check-layers: only platform/ may include platform/posix/ or platform/win32/" >&2
  status=1
fi
[ "$status" -eq 0 ] && echo "Layers: every include goes downwards; platform/ keeps its sub-folders to itself."
exit "$status"
