#!/usr/bin/env bash
# The demo: installs what is missing, builds the plug-in and the host stand-in, and runs the
# counter example in tshost under Wine, printing its log. Options are passed to tshost
# (for example --times or --reads).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh
quiet() {
    local output
    if ! output=$("$@" 2>&1); then
        echo "$output" >&2
        echo "demo: $* failed" >&2
        exit 1
    fi
}
echo "demo: building Vigrel.tsp and tshost.exe (build/win32)"
quiet cmake --preset win32
quiet cmake --build --preset win32 -j "$(nproc)" --target tshost
echo "demo: running examples/counter.pub"
cd examples
exec "$root/cmake/wine-run.sh" "$root/build/win32/wineprefix" \
    "$root/build/win32/bin/tshost.exe" "$@" counter.pub
