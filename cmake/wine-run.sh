#!/usr/bin/env bash
# Runs a Windows program under 32-bit Wine in the build tree's private prefix.
#   wine-run.sh PREFIX --start     create the prefix if needed and keep one wineserver up
#   wine-run.sh PREFIX --stop      stop that wineserver
#   wine-run.sh PREFIX PROGRAM...  run PROGRAM; fails if Wine's heap checker reports anything
set -uo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDEBUG=-all,err+module

make_prefix() {
    [ -f "$WINEPREFIX/.vigrel-ready-v3" ] && return 0
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        [ -f "$WINEPREFIX/.vigrel-ready-v3" ] && exit 0
        wine wineboot --init </dev/null >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            </dev/null >/dev/null 2>&1
        # Without a window manager, hiding a managed window (a dialog, a message box) waits 2 s.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        fonts="$WINEPREFIX/drive_c/windows/Fonts"
        mkdir -p "$fonts" && cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null
        wineserver -w
        touch "$WINEPREFIX/.vigrel-ready-v3"
    ) 9>"$WINEPREFIX.lock"
}

case "${1:-}" in
--start)
    make_prefix
    wineserver -p </dev/null >/dev/null 2>&1
    wine wineboot </dev/null >/dev/null 2>&1
    exit 0
    ;;
--stop)
    wineserver -k </dev/null >/dev/null 2>&1
    exit 0
    ;;
esac

make_prefix
export WINEDEBUG=-all,err+module,warn+heap
log=$(mktemp)
trap 'rm -f "$log"' EXIT
wine "$@" 2>"$log"
status=$?
grep -v '^[0-9a-f]*:err:module:.*Wine Mono\|^$' "$log" >&2
if grep -q 'warn:heap\|err:heap' "$log"; then
    echo "wine-run: Wine's heap checker reported faults (see above)" >&2
    [ $status -eq 0 ] && status=1
fi
exit $status
