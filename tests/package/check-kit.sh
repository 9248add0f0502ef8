#!/usr/bin/env bash
# Unpacks the test kit and runs it from its folder as a tester on Windows does, through its
# run-tests.cmd, with the tests of Wine's own answers skipped as on Windows:
#   check-kit.sh ZIP WINE...
# WINE is the command that runs a Windows program under Wine (cmake/wine-run.sh and its prefix).
# The run must pass and leave its report beside the program, listing each skipped test with its
# reason.
set -uo pipefail
zip=$1
shift
. "$(dirname "$0")/../../scripts/lib.sh"
vigrel_checks kit
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work" || { echo "kit: $zip cannot be unpacked"; exit 1; }
folder=$(find "$work" -mindepth 1 -maxdepth 1 -type d)
cd "$folder" || exit 1

VIGREL_SKIP_WINE_ONLY=1 "$@" cmd /c run-tests.cmd
status=$?
[ $status -eq 0 ] || vigrel_fail "run-tests.cmd ended with status $status"
[ -s report.xml ] || vigrel_fail "no report.xml beside the program"
if [ -s report.txt ]; then
    tr -d '\r' <report.txt >report.lf
    grep -q '^\[  PASSED  \] [1-9][0-9]* tests' report.lf || vigrel_fail "report.txt reports no passed test"
    skipped=$(sed -n 's/^\[  SKIPPED \] \([A-Za-z_0-9]*\.[A-Za-z_0-9]*\)$/\1/p' report.lf | sort -u)
    [ -n "$skipped" ] || vigrel_fail "report.txt lists no skipped test"
    for test in $skipped; do
        reason=$(grep -B3 -F "[  SKIPPED ] $test (" report.lf | grep -o "Wine's own answer.*")
        [ -n "$reason" ] || vigrel_fail "$test is skipped without its reason"
        echo "kit: skipped $test: $reason"
    done
    [ $status -eq 0 ] || cat report.lf
else
    vigrel_fail "no report.txt beside the program"
fi
vigrel_passed "the kit ran from its folder and passed; report.txt and report.xml beside it"
