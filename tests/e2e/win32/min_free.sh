#!/usr/bin/env bash
# min_free.sh TARNWELL_EXE: under Wine, /MinFree on a real file system filled to a known
# level: a tmpfs of 1 MiB given the drive letter T: in the prefix's dosdevices. The oldest
# logs go until half of it is free, counted from each file's allocated size; the one with
# another hard link frees nothing and stays. The preview says what the run deletes. Needs
# root (for the mount) and the prefix and display of scripts/with-wine.sh.
set -uo pipefail
. "$(dirname "$0")/../../../scripts/lib/checks.sh"
exe=$1
mnt=$(mktemp -d "${TMPDIR:-/tmp}/tarnwell-minfree.XXXXXX")
drive="$WINEPREFIX/dosdevices/t:"
trap 'rm -f "$drive"; umount "$mnt" 2>/dev/null; rmdir "$mnt"' EXIT
mount -t tmpfs -o size=1M tmpfs "$mnt" || die "cannot mount a tmpfs on $mnt"
ln -s "$mnt" "$drive"
for days in -6 -5 -4 -3 -2; do head -c 150000 /dev/zero >"$mnt/app.$(day "$days").log"; done
ln "$mnt/app.$(day -6).log" "$mnt/kept.link"
run() {
  wine "$exe" /DeleteAfterDays=30 '/Path=T:\' /MinFree=50% /List /Silent "$@" </dev/null |
    tr -d '\r' | sort
}
listed="T:\\app.$(day -5).log"$'\n'"T:\\app.$(day -4).log"
expect "preview: record" "$listed" "$(run /WhatIf)"
expect "run: record" "$listed" "$(run)"
expect "left" "app.$(day -6).log app.$(day -3).log app.$(day -2).log kept.link" \
  "$(cd "$mnt" && echo *)"
finish "/MinFree under Wine"
