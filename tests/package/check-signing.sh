#!/usr/bin/env bash
# Signs the package with a throwaway certificate and a local time-stamp authority, offline, from
# a PKCS#12 file and from a PKCS#11 token (SoftHSM):
#   check-signing.sh SOURCE_DIR WORK
# WORK/here holds the unsigned package (check-reproducible.sh). Both programs must verify against
# the throwaway authority, with a verified time stamp, and not against another; with the
# signature removed each must be the unsigned package's file, byte for byte. A wrong password
# fails with an error and keeps the package made before.
set -uo pipefail
source=$1
work=$2
. "$(dirname "$0")/../../scripts/lib.sh"
vigrel_checks signing
export VIGREL_SETUP_DONE=1
SOURCE_DATE_EPOCH=$(vigrel_release_epoch "$source")
export SOURCE_DATE_EPOCH
unsigned=("$work"/here/Vigrel-*-win32.zip)
[ -f "${unsigned[0]}" ] || { echo "signing: no unsigned package in $work/here"; exit 1; }
name=$(basename "${unsigned[0]}" .zip)
keys=$work/keys
rm -rf "$keys" "$work/unsigned" "$work/pkcs12" "$work/pkcs11"
mkdir -p "$keys"
cd "$keys" || exit 1

# A certificate authority, a code-signing certificate and a time-stamp authority's, all
# throwaway; a second authority that signed nothing.
cat >openssl.cnf <<'CNF'
[req]
distinguished_name = name
[name]
[ca]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[code]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[tsa]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CNF
quiet() { "$@" >/dev/null 2>&1 || { echo "signing: failed: $*"; exit 1; }; }
for ca in ca other; do
    quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout $ca.key -out $ca.pem -days 2 \
        -subj "/CN=Vigrel test $ca" -config openssl.cnf -extensions ca
done
for holder in code tsa; do
    quiet openssl req -newkey rsa:2048 -nodes -keyout $holder.key -out $holder.csr \
        -subj "/CN=Vigrel test $holder" -config openssl.cnf
    quiet openssl x509 -req -in $holder.csr -CA ca.pem -CAkey ca.key -CAcreateserial \
        -out $holder.pem -days 2 -extfile openssl.cnf -extensions $holder
done
echo "throwaway password" >password
echo "wrong password" >wrong
quiet openssl pkcs12 -export -inkey code.key -in code.pem -certfile ca.pem -out code.p12 \
    -passout file:password
cat tsa.pem ca.pem >tsa-chain.pem

# The key also on a token of its own, its certificate and chain in a file.
mkdir tokens
printf 'directories.tokendir = %s/tokens\nobjectstore.backend = file\nlog.level = ERROR\n' \
    "$keys" >softhsm2.conf
export SOFTHSM2_CONF=$keys/softhsm2.conf
quiet softhsm2-util --init-token --free --label vigrel --pin 1234 --so-pin 5678
quiet openssl pkcs8 -topk8 -nocrypt -in code.key -out code.p8
quiet softhsm2-util --import code.p8 --token vigrel --label code --id 01 --pin 1234
cat code.pem ca.pem >code-chain.pem
module=$(find /usr/lib -name libsofthsm2.so -path '*softhsm*' | head -1)

package() {
    local way=$1
    shift
    "$source/scripts/package.sh" --out "$work/$way" "$@" --timestamp-key tsa-chain.pem tsa.key \
        --ca-file ca.pem --tsa-ca-file ca.pem 2>&1
}
pkcs12() { package pkcs12 --pkcs12 code.p12 --password-file "$1"; }
pkcs11() {
    package pkcs11 --pkcs11-module "$module" --certs code-chain.pem \
        --key 'pkcs11:token=vigrel;object=code;type=private;pin-value=1234'
}

mkdir -p "$work/unsigned"
unzip -q "${unsigned[0]}" -d "$work/unsigned"
for way in pkcs12 pkcs11; do
    if ! report=$($way password); then
        echo "$report"
        vigrel_fail "the package command failed signing from $way"
        continue
    fi
    echo "$report" | sed "s|^|$way: |"
    signed=$work/$way/$name.zip
    unzip -q "$signed" -d "$work/$way"
    for program in Vigrel.tsp tshost.exe; do
        file=$work/$way/$name/$program
        verified=$(osslsigncode verify -CAfile ca.pem -TSA-CAfile ca.pem -in "$file" 2>&1) ||
            vigrel_fail "$way: $program does not verify:"$'\n'"$verified"
        grep -q '^Message digest algorithm  : SHA256$' <<<"$verified" ||
            vigrel_fail "$way: $program is not signed with SHA-256"
        grep -q '^Timestamp Server Signature verification: ok$' <<<"$verified" ||
            vigrel_fail "$way: $program has no verified time stamp"
        osslsigncode verify -CAfile other.pem -TSA-CAfile other.pem -in "$file" >/dev/null 2>&1 &&
            vigrel_fail "$way: $program verifies against an authority that did not sign it"
        osslsigncode remove-signature -in "$file" -out "$file.removed" >/dev/null 2>&1 ||
            vigrel_fail "$way: the signature of $program cannot be removed"
        cmp "$file.removed" "$work/unsigned/$name/$program" ||
            vigrel_fail "$way: $program without its signature is not the unsigned package's"
    done
    cmp "$work/$way/$name-symbols.zip" "${unsigned[0]%.zip}-symbols.zip" ||
        vigrel_fail "$way: signing changed the symbols archive"
    (cd "$work/$way" && sha256sum --quiet -c "$name.sha256") ||
        vigrel_fail "$way: $name.sha256 does not list the signed package"
    (cd "$work/$way/$name" && sha256sum --quiet -c SHA256SUMS) ||
        vigrel_fail "$way: SHA256SUMS does not list the signed files"
done

signed=$work/pkcs12/$name.zip
cp "$signed" "$work/signed.zip"
report=$(pkcs12 wrong) && vigrel_fail "signing with a wrong password succeeded"
grep -q '^package: error: signing Vigrel.tsp failed$' <<<"$report" ||
    vigrel_fail "a wrong password gives:"$'\n'"$report"
cmp "$signed" "$work/signed.zip" || vigrel_fail "a failed signing changed the package made before"

vigrel_passed "both programs signed from a PKCS#12 file and from a token (SHA-256," \
       "time-stamped), verified against the throwaway authority only; without their" \
       "signatures, the unsigned package's bytes"
