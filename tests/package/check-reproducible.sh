#!/usr/bin/env bash
# Makes the package from the sources and from a copy of them in another folder, and compares:
#   check-reproducible.sh SOURCE_DIR WORK DLL TSHOST
# DLL and TSHOST are the win32 build's own Vigrel.tsp and tshost.exe; the copy's build must give
# the same bytes, and both sides' packages, symbols archives and checksum files the same. What is
# made from the sources is left in WORK/here for the other package tests.
set -uo pipefail
source=$1
work=$2
dll=$3
tshost=$4
. "$(dirname "$0")/../../scripts/lib.sh"
vigrel_checks reproducible
export VIGREL_SETUP_DONE=1
SOURCE_DATE_EPOCH=$(vigrel_release_epoch "$source") ||
    { echo "reproducible: $source is not a git checkout"; exit 1; }
export SOURCE_DATE_EPOCH

# The sources as they stand, tracked or new but not ignored, with their times, so that a second
# run builds only what changed; the copy's own build folder stays.
copy=$work/elsewhere/vigrel
mkdir -p "$copy"
find "$copy" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
(cd "$source" && git ls-files -z --cached --others --exclude-standard |
    tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$copy" ||
    { echo "reproducible: the sources cannot be copied"; exit 1; }

rm -rf "$work/here" "$work/there"
for side in there here; do
    root=$source
    [ "$side" = there ] && root=$copy
    if ! report=$("$root/scripts/package.sh" --out "$work/$side" 2>&1); then
        echo "$report"
        echo "reproducible: the package command failed in $root"
        exit 1
    fi
    echo "$report" | sed "s|^|$side: |"
    grep -qx 'package: no certificate given: Vigrel.tsp and tshost.exe are not signed' \
        <<<"$report" || vigrel_fail "an unsigned package does not say so"
done

cmp "$dll" "$copy/build/win32/bin/Vigrel.tsp" || vigrel_fail "Vigrel.tsp differs between the two folders"
cmp "$tshost" "$copy/build/win32/bin/tshost.exe" ||
    vigrel_fail "tshost.exe differs between the two folders"
made=$(cd "$work/here" && ls)
[ "$made" = "$(cd "$work/there" && ls)" ] || vigrel_fail "the two sides made different files"
for file in $made; do
    cmp "$work/here/$file" "$work/there/$file" || vigrel_fail "the two sides' $file differ"
done
vigrel_passed "Vigrel.tsp ($(stat -c %s "$dll") bytes), tshost.exe and" \
       "$(echo $made) are the same bytes built in $source and in $copy"
