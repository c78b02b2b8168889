#!/usr/bin/env bash
# package.sh [OUTDIR]: builds the three release artifacts into OUTDIR (default dist/):
#   tarnwell_<version>_amd64.deb    dpkg-buildpackage on a copy of the tree
#   Tarnwell-<version>-win64.zip    cpack -G ZIP on the windows preset
#   Tarnwell-<version>-x64.msi      wixl, the windows preset's msi target
set -euo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$PWD
out=$(realpath -m "${1:-dist}")

scripts/install-deps.sh
mkdir -p "$out"

# dpkg-buildpackage writes into the tree and its parent folder: build on a copy, so the
# checkout stays clean and nothing lands beside it.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarnwell-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/tarnwell"
tar -C "$root" --exclude=./.git --exclude=./build --exclude=./dist --exclude='./.wine*' \
  --exclude='./obj-*' -cf - . | tar -C "$scratch/tarnwell" -xf -
echo "== Debian package =="
(cd "$scratch/tarnwell" && dpkg-buildpackage -us -uc -b) >"$scratch/deb.log" 2>&1 || {
  tail -n 40 "$scratch/deb.log"
  echo "dpkg-buildpackage failed" >&2
  exit 1
}
mv "$scratch"/tarnwell_*.deb "$out/"

echo "== Windows zip and MSI =="
cmake --preset windows >/dev/null
cmake --build --preset windows --target tarnwell msi
(cd build/windows && cpack -G ZIP -B "$scratch/cpack" >/dev/null)
mv "$scratch"/cpack/Tarnwell-*.zip "$out/"
cp build/windows/Tarnwell-*.msi "$out/"

echo "== in $out =="
ls -l "$out"
