#!/bin/sh
# Fails when the units (a .h and its .cpp) of the given folders include each other in a cycle,
# directly or through other units, and names the units of the cycle. Run from the source root:
#   tests/layers/check-includes.sh SOURCE_ROOT FOLDER...
set -eu
root=$1
shift
cd "$root"
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for folder in "$@"; do
    for file in "$folder"/*.h "$folder"/*.cpp; do
        [ -f "$file" ] || continue
        unit=${file%.*}
        # Each quoted include of a project header is an arrow from this unit to that header's.
        sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)\.h".*/\1/p' "$file" |
            while read -r included; do
                if [ -f "$included.h" ] && [ "$included" != "$unit" ]; then
                    echo "$unit $included"
                fi
            done
        echo "$unit $unit"
    done
done >"$edges"
if ! tsort "$edges" >/dev/null 2>"$edges.loop"; then
    echo "include cycle among these units:" >&2
    sed -n 's/^tsort: //p' "$edges.loop" | grep -v 'input contains a loop' >&2
    rm -f "$edges.loop"
    exit 1
fi
rm -f "$edges.loop"
echo "no include cycle in $*: $(sort -u "$edges" | wc -l) arrows"
