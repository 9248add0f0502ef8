#!/usr/bin/env bash
# Runs one publication in tshost and compares what it prints with an expected log.
#   run-scenario.sh PUBLICATION EXPECTED [TSHOST OPTIONS...] -- COMMAND...
# COMMAND runs tshost (the Wine wrapper, its prefix and tshost.exe); it runs in the folder of
# PUBLICATION, which it is given by its bare file name. The actual log is tshost's standard
# output, then each line of its standard error prefixed "stderr: ", then "exit STATUS".
# EXPECTED names the expected log without its ending: the first of EXPECTED.queued.LOCALE.log
# and EXPECTED.queued.log (only with --queued), EXPECTED.LOCALE.log and EXPECTED.log is used,
# where LOCALE is ru_RU or en_US, taken from LANG. Block addresses in host-string fault lines
# change from run to run; both logs show them as ADDRESS.
set -uo pipefail
publication=$1
expected=$2
shift 2
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    options+=("$1")
    shift
done
shift
locale=${LANG%%.*}
candidates=()
for option in "${options[@]}"; do
    [ "$option" = "--queued" ] && candidates+=("$expected.queued.$locale.log" "$expected.queued.log")
done
candidates+=("$expected.$locale.log" "$expected.log")
log=
for candidate in "${candidates[@]}"; do
    if [ -f "$candidate" ]; then
        log=$candidate
        break
    fi
done
if [ -z "$log" ]; then
    echo "run-scenario: no expected log for $expected" >&2
    exit 1
fi

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
(cd "$(dirname "$publication")" && "$@" "${options[@]}" "$(basename "$publication")") \
    >"$out" 2>"$err"
status=$?
{
    sed '/^host strings: fault:/s/\b[0-9A-Fa-f]\{8\}\([0-9A-Fa-f]\{8\}\)\?\b/ADDRESS/g' "$out"
    sed 's/^/stderr: /' "$err"
    echo "exit $status"
} | diff -u "$log" - && exit 0
echo "run-scenario: the log of $publication ${options[*]} differs from $log (above)" >&2
exit 1
