#!/usr/bin/env bash
# Builds and runs the whole test suite: the portable core natively (ASan, UBSan), its readers
# under libFuzzer for a fixed number of runs, then the DLL and the Windows tests under Wine.
# Installs what is missing first. The Windows tests run on a virtual X display (Xvfb).
#
# Where 32-bit Linux programs run, the Windows tests run the shipped 32-bit build in full. Where
# they do not (or with VIGREL_FORCE_WIN64=1), they run a 64-bit build of the same sources in full
# under 64-bit Wine, and the shipped 32-bit DLL's test program and one publication under emulation
# (scripts/lib.sh). On both, the shipped DLL's exports and imports are read from the file,
# and the package is made from the sources and from a copy of them in another folder, compared,
# checked and signed.
set -euo pipefail
cd "$(dirname "$0")/.."
# The machine's kind is found here once; setup.sh reads it from the environment.
. scripts/lib.sh
scripts/setup.sh
jobs=$(nproc)

windows=$(vigrel_windows_path)
case "$(vigrel_win32_run)" in
all) win32_targets=(all) ;;
emulated) win32_targets=(Vigrel win32_tests tshost WrongBoundary FaultHost) ;;
none) win32_targets=(Vigrel tshost WrongBoundary) ;;
esac

presets=(native fuzz)
[ "$windows" = win64 ] && presets+=(win64)
for preset in "${presets[@]}"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
# The 32-bit build shares the 64-bit build's prefix when it runs under emulation: that prefix's
# own processes (wineserver, services) then run natively. Which of its tests run, the build asks
# scripts/lib.sh as it is configured.
cmake --preset win32 -DVIGREL_WINE_PREFIX="$PWD/build/$windows/wineprefix" >/dev/null
cmake --build --preset win32 -j "$jobs" --target "${win32_targets[@]}"

ctest --preset native -j "$jobs"
ctest --preset fuzz -j "$jobs"
# The Windows tests show forms and dialogs: every Wine process of a run shares one X server.
[ "$windows" = win64 ] && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset win64
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset win32
