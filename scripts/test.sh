#!/usr/bin/env bash
# Builds and runs the whole test suite: the portable core natively (ASan, UBSan), its readers
# under libFuzzer for a fixed number of runs, then the DLL and the Windows tests under Wine.
# Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
for preset in native fuzz win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
ctest --preset native -j "$jobs"
ctest --preset fuzz -j "$jobs"
ctest --preset win32
