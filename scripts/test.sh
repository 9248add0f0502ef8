#!/usr/bin/env bash
# Builds and runs the whole test suite: the portable core natively (ASan, UBSan), its readers
# under libFuzzer for a fixed number of runs, then the DLL and the Windows tests under Wine.
# Installs what is missing first. The Windows tests run on a virtual X display (Xvfb).
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
# The Windows tests show forms and dialogs: every Wine process of the run shares one X server.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset win32
