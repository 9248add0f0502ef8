#!/usr/bin/env bash
# Runs FaultHost over every point (or every Kth) of both scenarios in both locales and ends with
#   faults: P points, C crashes, H hangs, L leaks, W wrong results
# Every point that is not "ok" is printed with its result; a crash or a hang ends the FaultHost
# process, which then starts again at the next point.
#   sweep.sh [--every K] [--scenarios "run dialog"] [--locales "ru_RU en_US"] -- BIN COMMAND...
# BIN is the folder of the build's programs (FaultHost.exe and Vigrel.tsp); COMMAND runs a
# Windows program (the Wine wrapper with its prefix, which also takes --start and --stop).
set -uo pipefail
every=1
scenarios="run dialog"
locales="ru_RU en_US"
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    case "$1" in
    --every) every=$2; shift 2 ;;
    --scenarios) scenarios=$2; shift 2 ;;
    --locales) locales=$2; shift 2 ;;
    *) echo "sweep: unknown option $1" >&2; exit 2 ;;
    esac
done
shift
bin=$1
shift
wine=("$@")
command=("${wine[@]}" "$bin/FaultHost.exe" "$bin/Vigrel.tsp")
kinds="memory global class window timer gdi callback"
# One Wine server for the whole sweep, so that each FaultHost process starts at once.
"${wine[@]}" --start
trap '"${wine[@]}" --stop' EXIT

points=0 crashes=0 hangs=0 leaks=0 wrong=0
for locale in $locales; do
    export LANG=$locale.UTF-8 LC_ALL=$locale.UTF-8
    for scenario in $scenarios; do
        counts=$("${command[@]}" "$scenario" count 2>/dev/null | tr -d '\r')
        if ! echo "$counts" | grep -q '^requests '; then
            echo "sweep: $scenario ($locale): the run without faults failed: $counts"
            wrong=$((wrong + 1))
            continue
        fi
        for kind in $kinds; do
            total=$(echo "$counts" | awk -v k="$kind" '$1 == "requests" && $2 == k { print $3 }')
            next=1
            while [ "$next" -le "$total" ]; do
                output=$("${command[@]}" "$scenario" "$kind" "$next" "$total" "$every" 2>/dev/null |
                         tr -d '\r')
                status=$?
                last=$next
                while IFS= read -r line; do
                    case "$line" in
                    point*": start") last=$(echo "$line" | awk '{ print $4 }' | tr -d ':') ;;
                    point*": ok" | point*": not reached") points=$((points + 1)) ;;
                    point*": hang") points=$((points + 1)) hangs=$((hangs + 1)); echo "$locale $line" ;;
                    point*": leak: "*) points=$((points + 1)) leaks=$((leaks + 1)); echo "$locale $line" ;;
                    point*": wrong: "*) points=$((points + 1)) wrong=$((wrong + 1)); echo "$locale $line" ;;
                    esac
                done <<<"$output"
                if [ "$status" -eq 0 ]; then
                    next=$((total + 1))
                    continue
                fi
                # The process ended at point $last: a hang (already counted) or a crash.
                if echo "$output" | tail -1 | grep -q ': start$'; then
                    points=$((points + 1)) crashes=$((crashes + 1))
                    echo "$locale point $scenario $kind $last: crash (status $status)"
                fi
                next=$((last + every))
            done
        done
    done
done
echo "faults: $points points, $crashes crashes, $hangs hangs, $leaks leaks, $wrong wrong results"
[ $((crashes + hangs + leaks + wrong)) -eq 0 ]
