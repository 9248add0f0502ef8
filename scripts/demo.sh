#!/usr/bin/env bash
# The demo: installs what is missing, builds the plug-in and the host stand-in, and runs the
# counter example in tshost under Wine, printing its log. Options are passed to tshost
# (for example --times or --reads). Where 32-bit Linux programs cannot run, the 64-bit build of
# both runs under 64-bit Wine instead (scripts/lib.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# The machine's kind is found here once; setup.sh reads it from the environment.
. scripts/lib.sh
scripts/setup.sh
quiet() {
    local output
    if ! output=$("$@" 2>&1); then
        echo "$output" >&2
        echo "demo: $* failed" >&2
        exit 1
    fi
}
build=$(vigrel_windows_path)
wine=("$root/cmake/wine-run.sh")
if [ "$build" = win64 ]; then
    echo "demo: 32-bit Linux programs cannot run here: the 64-bit build runs under 64-bit Wine"
    wine+=(--win64)
fi
echo "demo: building Vigrel.tsp and tshost.exe (build/$build)"
quiet cmake --preset "$build"
quiet cmake --build --preset "$build" -j "$(nproc)" --target tshost
echo "demo: running examples/counter.pub"
cd examples
exec "${wine[@]}" "$root/build/$build/wineprefix" "$root/build/$build/bin/tshost.exe" "$@" counter.pub
