#!/usr/bin/env bash
# Makes, from the win32 build, the package authors receive, the symbols kept for reading its
# crashes, the tests for a Windows machine, and the checksums of the three:
#   scripts/package.sh [--out DIR] [SIGNING...]
# Vigrel-VERSION-win32.zip, for authors, holds in one folder Vigrel-VERSION-win32: the stripped
# Vigrel.tsp, tshost.exe (stripped), the examples, LICENSE, CHANGELOG.md, the author's guides and
# comparison sheets (docs/GUIDE*.md, docs/COMPARISON*.md) as HTML with the pictures they show,
# and SHA256SUMS, written last.
# Vigrel-VERSION-win32-symbols.zip holds in Vigrel-VERSION-win32-symbols the DLL's debug
# information, Vigrel.tsp.debug, which the DLL's GNU debug link names with its CRC-32: put beside
# Vigrel.tsp, gdb loads it.
# Vigrel-VERSION-win32-tests.zip, not for authors, holds in Vigrel-VERSION-win32-tests the Windows
# test program with what it reads (the package's own Vigrel.tsp, the reload tests' library, the
# compiler's unwinder DLL), run-tests.cmd, which runs it and writes its report beside it, and a
# README.txt. Vigrel-VERSION-win32.sha256 lists the SHA-256 of the three archives, for
# `sha256sum -c`. Installs what is missing first (scripts/setup.sh), unless VIGREL_SETUP_DONE is
# set.
#
# The same sources give the same bytes: the DLL and tshost.exe are built without time stamps or
# build folders in them; the zip's entries are sorted, carry the time SOURCE_DATE_EPOCH (default:
# the last commit's time) and no owner. Each Windows file is padded to 8 bytes and carries its PE
# checksum, as a signature leaves it, so a signed file with its signature removed
# (osslsigncode remove-signature) is byte for byte the unsigned one.
#
# Signing (Authenticode, SHA-256, with an RFC 3161 time stamp), then verifying, Vigrel.tsp and
# tshost.exe; without a certificate the package is unsigned and says so:
#   --pkcs12 FILE --password-file FILE      the certificate and key in a PKCS#12 file, and the
#                                           file that holds its password (read once per program)
#   --pkcs11-module MODULE (--pkcs11-cert ID | --certs FILE) --key ID [--pkcs11-engine ENGINE]
#                                           a PKCS#11 token (IDs as PKCS#11 URIs); its
#                                           certificate on the token, or with its chain in a PEM
#                                           file
#   --timestamp URL                         the time-stamp authority (required when signing)
#   --timestamp-key CERTS KEY               a local time-stamp authority instead: its
#                                           certificate chain and key (offline tests)
#   --ca-file FILE, --tsa-ca-file FILE      the roots to verify the signature and the time stamp
#                                           against (default: osslsigncode's)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"

# Stops the package with an error: nothing made so far is left half written.
die() {
    echo "package: error: $*" >&2
    exit 2
}
# The absolute name of a file the caller names, which must exist.
existing() {
    [ -f "$2" ] || [ -c "$2" ] || die "$1: no such file: $2"
    realpath -- "$2"
}

out=$root/build
sign=()
timestamp=()
verify=()
signing=
while [ $# -gt 0 ]; do
    option=$1
    case "$option" in
    --out | --pkcs12 | --password-file | --pkcs11-module | --pkcs11-cert | --certs | --key | \
        --pkcs11-engine | --timestamp | --ca-file | --tsa-ca-file)
        [ $# -ge 2 ] && [ -n "$2" ] || die "$option needs a value"
        value=$2
        shift 2
        ;;
    --timestamp-key)
        [ $# -ge 3 ] && [ -n "$2" ] && [ -n "$3" ] || die "--timestamp-key needs CERTS and KEY"
        timestamp=(-TSA-certs "$(existing "$1" "$2")" -TSA-key "$(existing "$1" "$3")")
        shift 3
        continue
        ;;
    -h | --help)
        sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"
        exit 0
        ;;
    *) die "unknown option $option (scripts/package.sh --help shows the usage)" ;;
    esac
    case "$option" in
    --out) out=$(mkdir -p "$value" && cd "$value" && pwd) ;;
    --pkcs12) sign+=(-pkcs12 "$(existing "$option" "$value")") signing=pkcs12 ;;
    --password-file) sign+=(-readpass "$(existing "$option" "$value")") ;;
    --pkcs11-module) sign+=(-pkcs11module "$(existing "$option" "$value")") signing=pkcs11 ;;
    --pkcs11-cert) sign+=(-pkcs11cert "$value") ;;
    --certs) sign+=(-certs "$(existing "$option" "$value")") ;;
    --key) sign+=(-key "$value") ;;
    --pkcs11-engine) sign+=(-pkcs11engine "$(existing "$option" "$value")") ;;
    --timestamp) timestamp=(-ts "$value") ;;
    --ca-file) verify+=(-CAfile "$(existing "$option" "$value")") ;;
    --tsa-ca-file) verify+=(-TSA-CAfile "$(existing "$option" "$value")") ;;
    esac
done
cd "$root"
if [ -n "$signing" ]; then
    [ ${#timestamp[@]} -gt 0 ] ||
        die "signing needs a time-stamp authority (--timestamp URL), so the signature outlives the certificate"
elif [ ${#sign[@]} -gt 0 ] || [ ${#timestamp[@]} -gt 0 ]; then
    die "no certificate given: --pkcs12 FILE or --pkcs11-module MODULE"
fi

[ -n "${VIGREL_SETUP_DONE:-}" ] || scripts/setup.sh
SOURCE_DATE_EPOCH=$(vigrel_release_epoch "$root") ||
    die "not a git checkout: set SOURCE_DATE_EPOCH to the sources' time"
export SOURCE_DATE_EPOCH

# The win32 preset's build, as the tests use it: the DLL, tshost and the test kit's programs.
build=$root/build/win32
[ -f "$build/build.ninja" ] || cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target Vigrel tshost win32_tests ReloadLibrary \
    >/dev/null
version=$(sed -n 's/^#define VIGREL_VERSION "\(.*\)"$/\1/p' "$build/generated/VigrelVersion.h")
[ -n "$version" ] || die "no version in $build/generated/VigrelVersion.h"
name=Vigrel-$version-win32
zip=$out/$name.zip
symbols=$name-symbols
symbols_zip=$out/$symbols.zip
kit=$name-tests
kit_zip=$out/$kit.zip
sums=$out/$name.sha256
objcopy=i686-w64-mingw32-objcopy

# Pads FILE to a multiple of 8 bytes and writes its PE checksum (pefile's, the system's
# algorithm).
pe_normal_form() {
    local file=$1 size
    size=$(stat -c %s "$file")
    head -c $(((8 - size % 8) % 8)) /dev/zero >>"$file"
    /usr/bin/python3 - "$file" <<'PY' || die "cannot write the PE checksum of $file"
import sys
import pefile
pe = pefile.PE(sys.argv[1])
pe.OPTIONAL_HEADER.CheckSum = pe.generate_checksum()
data = pe.write()
pe.close()
open(sys.argv[1], "wb").write(data)
PY
}

stage=$build/package/$name
rm -rf "$build/package"
mkdir -p "$stage/examples" "$build/package/$symbols" "$build/package/$kit"
# objcopy writes into the PE header the time SOURCE_DATE_EPOCH names, else the current time: 0,
# as the linker left it, so the programs do not depend on the commit's time.
debug=$build/package/$symbols/Vigrel.tsp.debug
SOURCE_DATE_EPOCH=0 "$objcopy" --only-keep-debug "$build/bin/Vigrel.tsp" "$debug"
SOURCE_DATE_EPOCH=0 "$objcopy" --strip-all --add-gnu-debuglink="$debug" \
    "$build/bin/Vigrel.tsp" "$stage/Vigrel.tsp"
SOURCE_DATE_EPOCH=0 "$objcopy" --strip-all "$build/bin/tshost.exe" "$stage/tshost.exe"
for program in Vigrel.tsp tshost.exe; do
    pe_normal_form "$stage/$program"
done
cp examples/*.pub "$stage/examples/"
cp LICENSE CHANGELOG.md "$stage/"
# The guides and comparison sheets as HTML, which a fresh Windows opens by double-click (a .md
# file has no program there), made by pandoc from the Markdown with GitHub's heading anchors,
# Cyrillic included, and links between them turned to their HTML. Pictures stay files beside
# them: the browsers of Windows XP's time show no picture embedded as a data: address.
for document in docs/GUIDE*.md docs/COMPARISON*.md; do
    [ -f "$document" ] || continue
    base=$(basename "$document" .md)
    language=en
    [ "${base##*.}" = ru ] && language=ru
    pandoc -f gfm -t html5 --standalone --lua-filter scripts/html-links.lua \
        --metadata pagetitle="$(sed -n '1s/^# //p' "$document")" --metadata lang=$language \
        -o "$stage/$base.html" "$document" || die "pandoc cannot make $base.html"
    for picture in $(grep -o '](\([^):#]*\.png\))' "$document" | sed 's/^](\(.*\))$/\1/'); do
        cp "docs/$picture" "$stage/"
    done
done

if [ -n "$signing" ]; then
    for program in Vigrel.tsp tshost.exe; do
        rm -f "$stage/$program.signed"
        osslsigncode sign "${sign[@]}" -h sha256 -n Vigrel "${timestamp[@]}" \
            -in "$stage/$program" -out "$stage/$program.signed" >/dev/null ||
            die "signing $program failed"
        report=$(osslsigncode verify "${verify[@]}" -in "$stage/$program.signed" 2>&1) ||
            die "the signature of $program does not verify:"$'\n'"$report"
        grep -q '^Timestamp Server Signature verification: ok' <<<"$report" ||
            die "the signature of $program has no verified time stamp"
        mv "$stage/$program.signed" "$stage/$program"
    done
    echo "package: Vigrel.tsp and tshost.exe signed (SHA-256, time-stamped) and verified"
else
    echo "package: no certificate given: Vigrel.tsp and tshost.exe are not signed"
fi

(
    cd "$stage"
    find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort | xargs -d '\n' sha256sum
) >"$stage/SHA256SUMS"
# Every file as its bytes and name alone: one mode, one time, no owner, sorted.
archive() {
    local folder=$1 archive=$2
    find "$build/package/$folder" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
    find "$build/package/$folder" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    rm -f "$archive"
    (
        cd "$build/package"
        find "$folder" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q -9 "$archive" -@
    )
}
# The test kit tests the very Vigrel.tsp authors receive. Its texts get Windows' line ends.
cp "$stage/Vigrel.tsp" "$build/bin/libgcc_s_dw2-1.dll" "$build/package/$kit/"
for program in win32_tests.exe ReloadLibrary.dll; do
    SOURCE_DATE_EPOCH=0 "$objcopy" --strip-all "$build/bin/$program" "$build/package/$kit/$program"
done
for text in run-tests.cmd README.txt; do
    sed 's/$/\r/' "tests/win32/kit/$text" >"$build/package/$kit/$text"
done

archive "$name" "$zip"
archive "$symbols" "$symbols_zip"
archive "$kit" "$kit_zip"
(cd "$out" && sha256sum "$name.zip" "$symbols.zip" "$kit.zip") >"$sums"
echo "package: $zip ($(stat -c %s "$zip") bytes), for authors"
echo "package: $symbols_zip ($(stat -c %s "$symbols_zip") bytes), to read crash addresses"
echo "package: $kit_zip ($(stat -c %s "$kit_zip") bytes), the tests for a Windows machine"
echo "package: $sums, the SHA-256 of the three:"
cat "$sums"
