#!/usr/bin/env bash
# Reads the version resource of a built DLL from the file and compares it with the build's
# version:
#   check-version.sh WINDRES DLL VERSION
# The fixed file and product versions are MAJOR, MINOR, PATCH, 0; the strings are exactly those
# Windows shows in the file's properties.
set -uo pipefail
windres=$1
dll=$2
version=$3
IFS=. read -r major minor patch <<<"$version"
resource=$("$windres" -J coff -O rc -i "$dll" | sed -n '/VERSIONINFO$/,/^END$/p')
if [ -z "$resource" ]; then
    echo "version: $(basename "$dll") has no version resource"
    exit 1
fi
failures=0
expected=(
    " FILEVERSION $major, $minor, $patch, 0"
    " PRODUCTVERSION $major, $minor, $patch, 0"
    '      VALUE "FileDescription", "Vigrel variable monitor plug-in for Tessary"'
    "      VALUE \"FileVersion\", \"$version\""
    '      VALUE "InternalName", "Vigrel"'
    '      VALUE "LegalCopyright", "Copyright (C) The Vigrel authors"'
    '      VALUE "OriginalFilename", "Vigrel.tsp"'
    '      VALUE "ProductName", "Vigrel"'
    "      VALUE \"ProductVersion\", \"$version\""
)
for line in "${expected[@]}"; do
    if ! grep -qxF -- "$line" <<<"$resource"; then
        echo "version: missing or different: $line"
        failures=$((failures + 1))
    fi
done
if [ "$failures" -ne 0 ]; then
    echo "version: the resource of $(basename "$dll") is:"
    echo "$resource"
    exit 1
fi
echo "version: $(basename "$dll") carries version $version"
