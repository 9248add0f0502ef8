#!/usr/bin/env bash
# Checks the includes of the source tree against its layers:
#   tests/layers/check-includes.sh SOURCE_ROOT            the tree's includes
#   tests/layers/check-includes.sh --readme README.md     README's Layout table against LAYERS
#
# Every quoted include of a .h, .cpp or .rc file in the folders of LAYERS is resolved as the
# compiler does: beside the including file first, then from the source root. It fails when an
# include
#   - lands in a folder its own folder may not include (the folder of a file is the longest
#     folder of LAYERS that holds it; a folder always includes itself, and allowing a folder
#     allows the folders inside it);
#   - is written relative to the including file (every include is written from the root);
#   - names no file of the tree, unless the build generates it from cmake/NAME.in
#     (VigrelVersion.h): a generated header is below every folder;
# and when units (a .h and its .cpp) include each other in a cycle, through any path.
# Angle-bracket includes are the system's and the test framework's, and are not read.
# The folders under tests/layers are small trees of their own, checked as roots by their tests.
set -euo pipefail

# Folder, and the folders it may include besides itself (- for none). Keep it in step with the
# Layout table of README.md (the test layers.readme compares them).
LAYERS='
tessary            -
ui                 tessary
monitor            ui tessary
components         ui
editor             components monitor ui tessary
plugin             editor components monitor ui tessary
tools/diagnostics  -
tshost             tools/diagnostics tessary
tools              monitor ui tessary
gallery            tools components ui tessary
bench              tools tshost editor components monitor ui tessary
tests              tools tshost plugin editor components monitor ui tessary
'

declare -A allowed=()
folders=()
while read -r folder rest; do
    [ -n "$folder" ] || continue
    folders+=("$folder")
    allowed[$folder]=${rest/#-/}
done <<<"$LAYERS"

# Sets REPLY to the folder of LAYERS that holds PATH (the longest), or to nothing.
layer_of() {
    local folder
    REPLY=
    for folder in "${folders[@]}"; do
        case "$1" in "$folder"/*) [ ${#folder} -gt ${#REPLY} ] && REPLY=$folder ;; esac
    done
    return 0
}

# Whether FOLDER may include a file of folder TARGET.
may_include() {
    local other
    for other in "$1" ${allowed[$1]}; do
        case "$2" in "$other" | "$other"/*) return 0 ;; esac
    done
    return 1
}

# Sets REPLY to PATH with its "." and ".." parts taken out (a ".." above the root stays, and is
# no file).
normalise() {
    local part parts=() IFS=/
    for part in $1; do
        case "$part" in
            "" | .) ;;
            ..) if [ ${#parts[@]} -gt 0 ] && [ "${parts[-1]}" != .. ]; then
                    unset 'parts[-1]'
                else
                    parts+=(..)
                fi ;;
            *) parts+=("$part") ;;
        esac
    done
    REPLY="${parts[*]}"
}

if [ "${1:-}" = --readme ]; then
    # Each folder of LAYERS has a row "| `folder/` | what it holds | `a/`, `b/` |" (or "—").
    status=0
    for folder in "${folders[@]}"; do
        row=$(awk -v start="| \`$folder/\` |" 'index($0, start) == 1' "$2" | head -1)
        if [ -z "$row" ]; then
            echo "$2: no Layout row for $folder/" >&2
            status=1
            continue
        fi
        readme=$(awk -F' [|] ' '{ print $(NF) }' <<<"$row" | { grep -o '`[^`]*/`' || true; } |
                 tr -d '`' | sed 's|/$||' | sort | tr '\n' ' ')
        mine=$(tr ' ' '\n' <<<"${allowed[$folder]}" | sed '/^$/d' | sort | tr '\n' ' ')
        if [ "$readme" != "$mine" ]; then
            echo "$2: $folder/ may include '${readme% }' there, '${mine% }' in $0" >&2
            status=1
        fi
    done
    [ $status -ne 0 ] || echo "README's Layout table agrees: ${#folders[@]} folders"
    exit $status
fi

root=$1
cd "$root"
edges=$(mktemp)
trap 'rm -f "$edges" "$edges.loop"' EXIT
errors=0 files=0 arrows=0
declare -A between=()
error() {
    echo "$1" >&2
    errors=$((errors + 1))
}

for folder in "${folders[@]}"; do
    [ -d "$folder" ] || continue
    while IFS= read -r file; do
        layer_of "$file"
        layer=$REPLY
        # A file of a folder inside this one is read with that folder.
        [ "$layer" = "$folder" ] || continue
        case "$file" in tests/layers/*/*) continue ;; esac
        files=$((files + 1))
        unit=${file%.*}
        echo "$unit $unit" >>"$edges"
        while IFS=: read -r line included; do
            normalise "${file%/*}/$included"
            beside=$REPLY
            normalise "$included"
            if [ -f "$beside" ]; then
                target=$beside
                [ "$beside" = "$included" ] ||
                    error "$file:$line: \"$included\" is written relative to the file: write \"$beside\""
            elif [ -f "$REPLY" ]; then
                target=$REPLY
            elif [ -f "cmake/${included##*/}.in" ] && [ "$included" = "${included##*/}" ]; then
                continue
            else
                error "$file:$line: \"$included\" is no file of the tree"
                continue
            fi
            layer_of "$target"
            to=$REPLY
            if [ -z "$to" ]; then
                error "$file:$line: \"$included\" is in no folder of the layers"
                continue
            fi
            if ! may_include "$layer" "$to"; then
                others=$(printf ' %s/' ${allowed[$layer]})
                error "$file:$line: $layer/ may not include $to/ (\"$included\"); it may include $layer/${others% /}"
            fi
            arrows=$((arrows + 1))
            [ "$to" = "$layer" ] || between["$layer -> $to"]=1
            [ "${target%.*}" = "$unit" ] || echo "$unit ${target%.*}" >>"$edges"
        done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
                 sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/' || true)
    done < <(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) | sort)
done

if ! tsort "$edges" >/dev/null 2>"$edges.loop"; then
    echo "include cycle among these units:" >&2
    sed -n 's/^tsort: //p' "$edges.loop" | grep -v 'input contains a loop' >&2
    errors=$((errors + 1))
fi
if [ $errors -gt 0 ]; then
    echo "$errors include errors" >&2
    exit 1
fi
echo "includes keep to the layers: $files files, $arrows includes, ${#between[@]} arrows between folders, no cycle"
