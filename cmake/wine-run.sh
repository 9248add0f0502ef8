#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's private prefix.
#   wine-run.sh [--win64] PREFIX --start     create the prefix if needed and keep one wineserver up
#   wine-run.sh [--win64] PREFIX --stop      stop that wineserver
#   wine-run.sh [--win64] PREFIX PROGRAM...  run PROGRAM; fails if Wine's heap checker reports
#                                            anything
# Without --win64 the prefix is a 32-bit one, started by Debian's 32-bit loader (wine32). With it
# the prefix is a 64-bit one, started by the 64-bit loader: 64-bit programs run natively, 32-bit
# ones through the 32-bit loader, which on a kernel without 32-bit support runs under user-mode
# emulation (qemu-i386 through binfmt_misc).
#
# A process that dies of a Linux signal is the emulator or Wine failing on the Linux side, never
# the program: a Windows exception, an abort or a crash of the program ends it with a status
# below 128. Such a run is reported as an emulator failure and tried once more when
# VIGREL_EMULATOR_RETRY is set; a crash of the program is never retried.
set -uo pipefail
loader=wine
export WINEARCH=win32
if [ "${1:-}" = "--win64" ]; then
    loader=/usr/lib/wine/wine64
    export WINEARCH=win64
    shift
fi
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDEBUG=-all,err+module

# The prefix is made again (wineboot updates it in place) when 32-bit Wine comes to a machine
# after its 64-bit prefix was made: only then can its 32-bit half be set up.
ready="$WINEPREFIX/.vigrel-ready-v3"
[ "$WINEARCH" = win64 ] && ready+=-win64
[ "$WINEARCH" = win64 ] && [ -x /usr/lib/wine/wine ] && ready+=-wow64

make_prefix() {
    [ -f "$ready" ] && return 0
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        [ -f "$ready" ] && exit 0
        "$loader" wineboot --init </dev/null >/dev/null 2>&1
        "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            </dev/null >/dev/null 2>&1
        # Without a window manager, hiding a managed window (a dialog, a message box) waits 2 s.
        "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
            </dev/null >/dev/null 2>&1
        fonts="$WINEPREFIX/drive_c/windows/Fonts"
        mkdir -p "$fonts" && cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null
        wineserver -w
        touch "$ready"
    ) 9>"$WINEPREFIX.lock"
}

case "${1:-}" in
--start)
    make_prefix
    wineserver -p </dev/null >/dev/null 2>&1
    "$loader" wineboot </dev/null >/dev/null 2>&1
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
# Wine's error output passes through as it comes, so a run stopped at its time limit still shows
# it, and is kept for the heap checker's verdict below. A wineserver that the run started holds
# the output open for a few seconds after the program: the copy is awaited that long at most.
for attempt in 1 2; do
    exec 3> >(tee "$log" | grep --line-buffered -v '^[0-9a-f]*:err:module:.*Wine Mono\|^$' >&2)
    copy=$!
    "$loader" "$@" 2>&3 3>&-
    status=$?
    exec 3>&-
    for _ in $(seq 50); do
        kill -0 "$copy" 2>/dev/null || break
        sleep 0.1
    done
    [ $status -ge 128 ] || break
    echo "wine-run: Wine died of Linux signal $((status - 128)): a failure of Wine or its" \
         "emulator on the Linux side, not an exception of the program" >&2
    [ -n "${VIGREL_EMULATOR_RETRY:-}" ] && [ $attempt -eq 1 ] || break
    echo "wine-run: running it once more" >&2
done
if grep -q 'warn:heap\|err:heap' "$log"; then
    echo "wine-run: Wine's heap checker reported faults (see above)" >&2
    [ $status -eq 0 ] && status=1
fi
exit $status
