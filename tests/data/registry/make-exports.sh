#!/usr/bin/env bash
# Makes the registry exports beside this script with Wine's own `reg export`, in a
# throw-away prefix, as an administrator copying a machine's setting would:
#   scripts/with-wine.sh tests/data/registry/make-exports.sh
# The files are committed; the suite reads them and never runs this.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Multi-line text and a second key are what a real machine's key holds beside DebugPath;
# `reg add` cannot write a line break, an import can.
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_LOCAL_MACHINE\SOFTWARE\Corvane]' \
  '"Notes"="Installed by the imaging team.\r\nCall extension 4471 before changing."' \
  '"Banner"="first\nsecond"' \
  '[HKEY_LOCAL_MACHINE\SOFTWARE\Corvane\Agent]' \
  '"Motd"="line one\r\nline two"' >"$scratch/notes.reg"
wine reg import "$(winepath -w "$scratch/notes.reg")" /reg:32
wine reg add 'HKLM\SOFTWARE\Corvane' /v DebugPath /d /srv/corvane/logs /f /reg:32
wine reg add 'HKLM\SOFTWARE\Corvane' /v Servers /t REG_MULTI_SZ /d 'alpha\0beta' /f /reg:32
wine reg add 'HKLM\SOFTWARE\Corvane' /v Retention /t REG_DWORD /d 30 /f /reg:32
wine reg add 'HKLM\SOFTWARE\Corvane' /v Quota /t REG_QWORD /d 1099511627776 /f /reg:32
wine reg add 'HKLM\SOFTWARE\Corvane' /v Cache /t REG_EXPAND_SZ /d '%TEMP%\corvane' /f /reg:32
wine reg add 'HKLM\SOFTWARE\Corvane\Agent' /v Key /t REG_BINARY /d 0badf00d /f /reg:32

# From the 64-bit view, as `reg export HKLM\SOFTWARE` writes it: the 32-bit view's keys
# under WOW6432Node. And the same key exported from the 32-bit view.
wine reg export 'HKLM\SOFTWARE\WOW6432Node\Corvane' "$(winepath -w "$scratch/wow64.reg")" /y /reg:64
wine reg export 'HKLM\SOFTWARE\Corvane' "$(winepath -w "$scratch/view32.reg")" /y /reg:32
cp "$scratch/wow64.reg" "$here/wine-export-64bit-view.reg"
cp "$scratch/view32.reg" "$here/wine-export-32bit-view.reg"
