#!/usr/bin/env bash
# Fault injection, every point: builds the plug-in and its fault host, then refuses each of the
# plug-in's requests to the system in turn (memory, global blocks, window classes, windows,
# timers, GDI objects, and a host read that hands back nothing) in a whole publication run and a
# dialog run, under ru_RU and en_US, and ends with one line:
#   faults: P points, C crashes, H hangs, L leaks, W wrong results
# Options go to tests/faults/sweep.sh (for example --every 10 for a sample). Installs what is
# missing first. Runs the build whose Windows programs run here (scripts/lib.sh).
#   faults.sh --trace SCENARIO KIND N   runs that one point in a build with frame pointers
#                                       (build/BUILD-trace) and names the functions on the stack
#                                       of the refused request (tests/faults/trace.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
scripts/setup.sh >/dev/null
build=$(vigrel_windows_path)
wine=(cmake/wine-run.sh)
[ "$build" = win64 ] && wine+=(--win64)
if [ "${1:-}" = "--trace" ]; then
    [ $# -eq 4 ] || { echo "usage: faults.sh --trace SCENARIO KIND N" >&2; exit 2; }
    cmake --preset "$build" -B "build/$build-trace" -DVIGREL_FRAME_POINTERS=ON >/dev/null
    cmake --build "build/$build-trace" -j "$(nproc)" --target FaultHost >/dev/null
    exec xvfb-run -a -s "-screen 0 1280x1024x24" tests/faults/trace.sh \
        "build/$build-trace/bin" "$2" "$3" "$4" -- "${wine[@]}" "$PWD/build/$build/wineprefix"
fi
cmake --preset "$build" >/dev/null
cmake --build --preset "$build" -j "$(nproc)" --target FaultHost >/dev/null
exec xvfb-run -a -s "-screen 0 1280x1024x24" tests/faults/sweep.sh "$@" -- \
    "build/$build/bin" "${wine[@]}" "$PWD/build/$build/wineprefix"
