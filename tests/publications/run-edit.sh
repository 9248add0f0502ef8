#!/usr/bin/env bash
# Edits one action of a copy of a publication with tshost --edit, compares the log as
# run-scenario.sh does, then compares the copy with the file expected afterwards, byte for byte.
#   run-edit.sh PUBLICATION EXPECTED RESULT PLUGIN [--read-only] [TSHOST OPTIONS...] -- COMMAND...
# The copy keeps the publication's file name, in a folder of its own; PLUGIN is copied beside it
# and loaded by its bare file name, so logs name no build folder. RESULT is the file the copy
# must be afterwards (the publication itself when it must be left as it was). --read-only sets
# the copy's read-only attribute first (under Wine, no write permission on the Unix side).
set -uo pipefail
publication=$1
expected=$2
result=$3
plugin=$4
shift 4
readonly=
if [ "${1:-}" = "--read-only" ]; then
    readonly=yes
    shift
fi
folder=$(mktemp -d)
trap 'chmod -R u+w "$folder"; rm -rf "$folder"' EXIT
copy="$folder/$(basename "$publication")"
cp "$publication" "$copy"
cp "$plugin" "$folder/"
[ -n "$readonly" ] && chmod a-w "$copy"
"$(dirname "$0")/run-scenario.sh" "$copy" "$expected" --plugin "$(basename "$plugin")" "$@"
status=$?
if ! cmp "$result" "$copy"; then
    echo "run-edit: $copy differs from $result:" >&2
    diff -u "$result" "$copy" >&2
    status=1
fi
leftover=$(ls -A "$folder" | grep -vxF -e "$(basename "$publication")" -e "$(basename "$plugin")")
if [ -n "$leftover" ]; then
    echo "run-edit: files left beside the publication: $leftover" >&2
    status=1
fi
exit $status
