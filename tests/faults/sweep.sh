#!/usr/bin/env bash
# Runs FaultHost over every point (or every Kth) of both scenarios in both locales and ends with
#   faults: P points, C crashes, H hangs, L leaks, W wrong results
# Every point that is not "ok" is printed with its result; a crash or a hang ends the FaultHost
# process, which then starts again at the next point. With --jobs J, J FaultHost processes of one
# locale share the points of each kind (the Jth takes every Jth point), so a machine's cores all
# work; processes of two locales never run at once, since Wine processes in one prefix see each
# other's regional settings.
#   sweep.sh [--every K] [--jobs J] [--scenarios "run dialog"] [--locales "ru_RU en_US"]
#            [--kinds "memory global ..."] -- BIN COMMAND...
# BIN is the folder of the build's programs (FaultHost.exe and Vigrel.tsp); COMMAND runs a
# Windows program (the Wine wrapper with its prefix, which also takes --start and --stop).
set -uo pipefail
every=1
jobs=1
scenarios="run dialog"
locales="ru_RU en_US"
kinds="memory global class window timer gdi callback"
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    case "$1" in
    --every) every=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --scenarios) scenarios=$2; shift 2 ;;
    --locales) locales=$2; shift 2 ;;
    --kinds) kinds=$2; shift 2 ;;
    *) echo "sweep: unknown option $1" >&2; exit 2 ;;
    esac
done
shift
bin=$1
shift
wine=("$@")
command=("${wine[@]}" "$bin/FaultHost.exe" "$bin/Vigrel.tsp")
# One Wine server for the whole sweep, so that each FaultHost process starts at once.
"${wine[@]}" --start

# Runs the points FIRST, FIRST + STEP, ... TOTAL of one kind, starting FaultHost again after a
# crash or a hang, and prints one verdict per point: ok, or the point's line when it is not.
lane() {
    local scenario=$1 kind=$2 next=$3 total=$4 step=$5 output status last line
    while [ "$next" -le "$total" ]; do
        output=$("${command[@]}" "$scenario" "$kind" "$next" "$total" "$step" 2>/dev/null |
                 tr -d '\r')
        status=$?
        last=$next
        while IFS= read -r line; do
            case "$line" in
            point*": start") last=$(echo "$line" | awk '{ print $4 }' | tr -d ':') ;;
            point*": ok" | point*": not reached") echo ok ;;
            point*": hang" | point*": leak: "* | point*": wrong: "*) echo "$locale $line" ;;
            esac
        done <<<"$output"
        if [ "$status" -eq 0 ]; then
            return
        fi
        # The process ended at point $last: a hang (already told) or a crash.
        if echo "$output" | tail -1 | grep -q ': start$'; then
            echo "$locale point $scenario $kind $last: crash (status $status)"
        fi
        next=$((last + step))
    done
}

verdicts=$(mktemp -d)
trap 'rm -rf "$verdicts"; "${wine[@]}" --stop' EXIT
wrong=0
for locale in $locales; do
    export LANG=$locale.UTF-8 LC_ALL=$locale.UTF-8
    for scenario in $scenarios; do
        counts=$("${command[@]}" "$scenario" count 2>&1 | tr -d '\r')
        status=$?
        if ! echo "$counts" | grep -q '^requests '; then
            echo "sweep: $scenario ($locale): the run without faults failed (status $status): $counts"
            wrong=$((wrong + 1))
            continue
        fi
        for kind in $kinds; do
            total=$(echo "$counts" | awk -v k="$kind" '$1 == "requests" && $2 == k { print $3 }')
            for ((j = 0; j < jobs; ++j)); do
                lane "$scenario" "$kind" $((1 + j * every)) "$total" $((every * jobs)) \
                    >"$verdicts/$locale.$scenario.$kind.$j" &
            done
            wait
            grep -hv '^ok$' "$verdicts/$locale.$scenario.$kind".* | sort -k5n
        done
    done
done
count() {
    cat "$verdicts"/* 2>/dev/null | grep -c "$1"
}
points=$(cat "$verdicts"/* 2>/dev/null | wc -l)
crashes=$(count ': crash (') hangs=$(count ': hang$') leaks=$(count ': leak: ')
wrong=$((wrong + $(count ': wrong: ')))
echo "faults: $points points, $crashes crashes, $hangs hangs, $leaks leaks, $wrong wrong results"
[ $((crashes + hangs + leaks + wrong)) -eq 0 ]
