#!/usr/bin/env bash
# with-wine.sh COMMAND...: runs COMMAND with a throw-away Wine prefix and a private X
# display (Xvfb), then removes both. The user's own prefix is never touched.
set -euo pipefail

if [ -z "${TARNWELL_WINE_READY:-}" ]; then
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarnwell-wine.XXXXXX")
  export TARNWELL_WINE_READY=1
  export WINEPREFIX="$scratch/prefix"
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer dialogs
  cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$scratch"
  }
  trap cleanup EXIT
  status=0
  xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@" || status=$?
  exit "$status"
fi

mkdir -p "$WINEPREFIX"
wineserver -p  # stay up between test processes: each then starts in a fraction of a second
# The first Wine process in a new prefix makes it: the loader runs wineboot --init (which
# writes the registry and starts the service manager) and waits for its "done" event. A
# second --init (wineboot -i) would start a second service manager beside the first, and
# for the prefix's whole life every service start (the Task Scheduler, RpcSs) would find
# the service database locked or time out.
wine cmd /c exit >/dev/null 2>&1
# Xvfb has no window manager, and Wine would wait two seconds for one to confirm every
# window that closes: leave the prefix's windows unmanaged.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
"$@"
