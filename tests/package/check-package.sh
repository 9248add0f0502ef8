#!/usr/bin/env bash
# Unpacks the package and checks it as a host's author receives it, with the symbols archive, the
# test kit and the checksums beside it:
#   check-package.sh ZIP VERSION SOURCE_DIR OBJDUMP NM OBJCOPY WINDRES
# Their lists, in order, the kit's DLL the package's own; no owner and one time in the zips; both checksum files; the DLL's
# boundary, read with the symbols of the debug file; the debug link naming that file with its
# checksum, and gdb following it once the file is put beside the DLL; the version resource.
set -uo pipefail
zip=$1
version=$2
source=$3
objdump=$4
nm=$5
objcopy=$6
windres=$7
. "$(dirname "$0")/../../scripts/lib.sh"
vigrel_checks package
epoch=$(vigrel_release_epoch "$source")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Files only, sorted, in one folder: the programs, the examples, the licence, the change log, the
# guides and comparison sheets as HTML with the pictures they show, and the checksums; no debug
# file.
name=Vigrel-$version-win32
symbols_zip=${zip%.zip}-symbols.zip
expected=$(
    {
        printf '%s\n' CHANGELOG.md LICENSE SHA256SUMS Vigrel.tsp tshost.exe
        for example in "$source"/examples/*.pub; do echo "examples/${example##*/}"; done
        for document in "$source"/docs/GUIDE*.md "$source"/docs/COMPARISON*.md; do
            [ -f "$document" ] || continue
            basename "$document" .md | sed 's/$/.html/'
            grep -o '](\([^):#]*\.png\))' "$document" | sed 's/^](\(.*\))$/\1/'
        done
    } | sed "s|^|$name/|" | LC_ALL=C sort -u
)
actual=$(unzip -Z1 "$zip") || { echo "package: $zip cannot be read"; exit 1; }
[ "$actual" = "$expected" ] ||
    vigrel_fail "the package holds, in this order:"$'\n'"$actual"$'\n'"expected:"$'\n'"$expected"

symbols_actual=$(unzip -Z1 "$symbols_zip") || { echo "package: $symbols_zip cannot be read"; exit 1; }
[ "$symbols_actual" = "$name-symbols/Vigrel.tsp.debug" ] ||
    vigrel_fail "the symbols archive holds [$(echo $symbols_actual)], not $name-symbols/Vigrel.tsp.debug"
# The test kit: the test program with what it reads, and the package's own DLL.
kit_zip=${zip%.zip}-tests.zip
kit_actual=$(unzip -Z1 "$kit_zip" | tr '\n' ' ') || { echo "package: $kit_zip cannot be read"; exit 1; }
kit_expected=$(printf "$name-tests/%s " README.txt ReloadLibrary.dll Vigrel.tsp \
               libgcc_s_dw2-1.dll run-tests.cmd win32_tests.exe)
[ "$kit_actual" = "$kit_expected" ] ||
    vigrel_fail "the test kit holds [$kit_actual], not [$kit_expected]"
[ "$(unzip -p "$kit_zip" "$name-tests/Vigrel.tsp" | sha256sum)" = \
  "$(unzip -p "$zip" "$name/Vigrel.tsp" | sha256sum)" ] ||
    vigrel_fail "the test kit's Vigrel.tsp is not the package's"
(cd "$(dirname "$zip")" && sha256sum --quiet -c "$name.sha256") ||
    vigrel_fail "an archive differs from its line in $name.sha256"
[ "$(awk '{ print $2 }' "${zip%.zip}.sha256" | tr '\n' ' ')" = \
  "$name.zip $name-symbols.zip $name-tests.zip " ] ||
    vigrel_fail "$name.sha256 does not list the three archives"

# Nothing but names, bytes, modes and one time: SOURCE_DATE_EPOCH (default: the last commit's),
# to the two seconds of the zip's times.
for archive in "$zip" "$symbols_zip" "$kit_zip"; do
    unzip -Z -v "$archive" | grep 'length of extra field' | grep -qv ' 0 bytes$' &&
        vigrel_fail "$(basename "$archive"): entries carry extra fields (owners or more times)"
    times=$(TZ=UTC unzip -Z -T "$archive" |
            awk -v n="$name" 'index($NF, n) == 1 { print $(NF - 1) }' | sort -u)
    case "$times" in
    "$(date -u -d "@$epoch" +%Y%m%d.%H%M%S)" | "$(date -u -d "@$((epoch + 1))" +%Y%m%d.%H%M%S)") ;;
    *) vigrel_fail "$(basename "$archive"): entry times are [$(echo $times)], not SOURCE_DATE_EPOCH $epoch" ;;
    esac
done

unzip -q "$zip" -d "$work"
unzip -q "$symbols_zip" -d "$work"
dir=$work/$name
debug=$work/$name-symbols/Vigrel.tsp.debug
(cd "$dir" && sha256sum --quiet -c SHA256SUMS) || vigrel_fail "a file differs from its SHA256SUMS line"
listed=$(awk '{ print $2 }' "$dir/SHA256SUMS")
held=$(cd "$dir" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort)
[ "$listed" = "$held" ] || vigrel_fail "SHA256SUMS lists [$(echo $listed)], the package holds [$(echo $held)]"

# Every relative link and picture of every document resolves inside the package: the file, and
# the heading a fragment names.
while IFS= read -r page; do
    for target in $(grep -o '\(href\|src\)="[^"]*"' "$dir/$page" | sed 's/^[a-z]*="\(.*\)"$/\1/'); do
        [[ "$target" =~ ^[A-Za-z][A-Za-z0-9+.-]*: ]] && continue
        file=${target%%#*}
        [ -n "$file" ] && file=$(dirname "$page")/$file || file=$page
        if [ ! -f "$dir/$file" ]; then
            vigrel_fail "$page links to $target, which the package does not hold"
        elif [[ "$target" == *#* ]] && ! grep -qF "id=\"${target#*#}\"" "$dir/$file"; then
            vigrel_fail "$page links to $target, and $file has no such heading"
        fi
    done
done < <(cd "$dir" && find . -name '*.html' -printf '%P\n')
[ -n "$(cd "$dir" && find . -name '*.html')" ] || vigrel_fail "the package holds no document as HTML"

# The DLL is stripped; its symbols are in the debug file, and with them it passes the boundary
# check.
[ -z "$("$nm" "$dir/Vigrel.tsp" 2>/dev/null)" ] || vigrel_fail "Vigrel.tsp still has symbols"
"$source/tests/boundary/check-boundary.sh" "$objdump" "$nm" "$dir/Vigrel.tsp" "$debug" ||
    vigrel_fail "Vigrel.tsp fails the boundary check"

# The debug link: the debug file's name, zero-padded to 4 bytes, then its CRC-32 (the one gzip
# writes in its trailer).
if "$objcopy" --dump-section .gnu_debuglink="$work/link" "$dir/Vigrel.tsp" "$work/copy"; then
    linked=$(tr '\0' '\n' <"$work/link" | head -1)
    link_crc=$(tail -c 4 "$work/link" | od -An -tx4 | tr -d ' ')
    file_crc=$(gzip -c <"$debug" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' ')
    [ "$linked" = Vigrel.tsp.debug ] || vigrel_fail "the debug link names \"$linked\""
    [ "$link_crc" = "$file_crc" ] ||
        vigrel_fail "the debug link's CRC is $link_crc, the debug file's $file_crc"
else
    vigrel_fail "Vigrel.tsp has no debug link"
fi
# With the debug file put beside the DLL, as the README tells, gdb follows the link from the
# stripped DLL to it and finds the entry points' sources under the source folder's mapped name.
cp "$debug" "$dir/"
where=$(cd "$dir" && gdb -nx -batch -ex 'file Vigrel.tsp' -ex 'info line tsExecAction' 2>&1)
grep -q '^Line [0-9]* of "\./plugin/Vigrel\.cpp"' <<<"$where" ||
    vigrel_fail "gdb does not find tsExecAction's line through the debug link:"$'\n'"$where"

"$source/tests/package/check-version.sh" "$windres" "$dir/Vigrel.tsp" "$version" ||
    vigrel_fail "Vigrel.tsp does not carry version $version"
format=$("$objdump" -f "$dir/tshost.exe" | sed -n 's/.*file format //p')
[ "$format" = pei-i386 ] || vigrel_fail "tshost.exe is $format, not a 32-bit Windows program"
# No build time in the PE header (the COFF header follows the 4-byte PE signature; its time is at
# byte 4).
for program in Vigrel.tsp tshost.exe; do
    pe=$(od -An -tu4 -j 60 -N 4 "$dir/$program" | tr -d ' ')
    stamp=$(od -An -tu4 -j $((pe + 8)) -N 4 "$dir/$program" | tr -d ' ')
    [ "$stamp" = 0 ] || vigrel_fail "$program carries the time stamp $stamp"
done

vigrel_passed "$(basename "$zip"): $(echo "$actual" | wc -l) files, $(basename "$symbols_zip") and" \
       "$(basename "$kit_zip")," \
       "checked"
