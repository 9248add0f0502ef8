#!/usr/bin/env bash
# Installs what building and testing Vigrel needs on a Debian machine; does nothing when all is
# there. Safe to run again and again. Says in one line which way the Windows programs run here
# (scripts/lib.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

updated=
apt_install() {
    if [ -z "$updated" ]; then
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            "${sudo_cmd[@]}" dpkg --add-architecture i386
        fi
        # A mirror in the middle of a sync fails one index; the others still serve.
        "${sudo_cmd[@]}" apt-get update -qq >/dev/null 2>&1 ||
            echo "setup: some package indexes could not be fetched; using the others"
        updated=1
    fi
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
        --no-install-recommends "$@" >/dev/null
}

# Whether this kernel runs 32-bit Linux programs decides the rest.
kernel32=
vigrel_kernel_runs_32bit && kernel32=1

missing=()
command -v i686-w64-mingw32-g++-win32 >/dev/null || missing+=(g++-mingw-w64-i686-win32 mingw-w64-i686-dev)
command -v cmake >/dev/null || missing+=(cmake)
command -v ninja >/dev/null || missing+=(ninja-build)
command -v g++ >/dev/null || missing+=(g++)
command -v clang++ >/dev/null || missing+=(clang)
[ -d /usr/src/googletest/googletest ] || missing+=(googletest)
[ -f /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
command -v Xvfb >/dev/null || missing+=(xvfb xauth)
command -v import >/dev/null || missing+=(imagemagick)
[ -f /usr/share/i18n/SUPPORTED ] || missing+=(locales)
command -v wine >/dev/null || missing+=(wine)
# Wine's own fonts (MS Sans Serif, Marlett for the caption buttons): the dialog is laid out for them.
[ -f /usr/share/wine/fonts/ms_sans_serif.ttf ] || missing+=(fonts-wine)
# The package (scripts/package.sh): the zip, signing, and the checks (gdb reads its debug file).
command -v zip >/dev/null || missing+=(zip)
command -v unzip >/dev/null || missing+=(unzip)
command -v openssl >/dev/null || missing+=(openssl)
command -v osslsigncode >/dev/null || missing+=(osslsigncode)
command -v gdb >/dev/null || missing+=(gdb)
# The PE checksum the package writes into each program.
/usr/bin/python3 -c 'import pefile' 2>/dev/null || missing+=(python3-pefile)
# The guides and the comparison sheets are shipped as HTML made from their Markdown.
command -v pandoc >/dev/null || missing+=(pandoc)
# Signing from a PKCS#11 token goes through OpenSSL's pkcs11 engine; the test's token is SoftHSM.
dpkg -s libengine-pkcs11-openssl >/dev/null 2>&1 || missing+=(libengine-pkcs11-openssl)
command -v softhsm2-util >/dev/null || missing+=(softhsm2)
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt_install "${missing[@]}"
fi

# The signing test stamps with a local time-stamp authority, which osslsigncode has from 2.7 on;
# Debian 12 has that in its backports.
osslsigncode_stamps_locally() {
    local version
    version=$(osslsigncode --version 2>/dev/null | sed -n '1s/^osslsigncode \([0-9.]*\).*/\1/p')
    [ -n "$version" ] && dpkg --compare-versions "$version" ge 2.7
}
if ! osslsigncode_stamps_locally; then
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    # The backports of the archive this machine already takes its release from.
    archive=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' |
        awk -v release="$codename" '$2 == release { print $1; exit }')
    echo "setup: installing osslsigncode from $codename-backports"
    echo "deb $archive $codename-backports main" |
        "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/vigrel-backports.list >/dev/null
    updated=
    apt_install -t "$codename-backports" osslsigncode
fi

# Installs wine32:i386 when a package index of i386 could not be fetched. Each i386 library must
# have exactly the version of its amd64 sibling; where the index that lists that version for i386
# is missing, apt refuses it ("not in sync with its M-A:same sibling", or "not installable" for a
# dependency at that version). For each library refused, the i386 package of the amd64 candidate's
# version is fetched from the same pool path and installed (with an installed amd64 sibling
# brought to that version), until apt refuses nothing more.
install_wine32_from_pool() {
    local debs=/var/cache/vigrel-i386 args=() handled=" " bases out refused fresh name version file
    bases=$(apt-get indextargets --format '$(REPO_URI)' | sort -u)
    "${sudo_cmd[@]}" mkdir -p "$debs"
    for _ in $(seq 30); do
        out=$(apt-get install -s --no-install-recommends -o Debug::pkgDepCache::Marker=1 \
                  wine32:i386 "${args[@]}" 2>&1) && break
        refused=$(sed -n -e 's/.*Ignore MarkInstall of \([^:]*\):i386 .*not in sync.*/\1/p' \
                         -e 's/.*Depends: \([^: ]*\):i386 .* but it is not installable.*/\1/p' \
                      <<<"$out" | sort -u)
        fresh=
        for name in $refused; do
            case "$handled" in *" $name "*) continue ;; esac
            handled+="$name "
            fresh=1
            version=$(apt-cache policy "$name:amd64" | sed -n 's/^ *Candidate: //p')
            file=$(apt-cache show "$name:amd64=$version" 2>/dev/null |
                   sed -n 's/^Filename: //p' | head -1)
            [ -n "$file" ] || return 1
            file=${file%_amd64.deb}_i386.deb
            fetch_from_pool "$bases" "$file" "$debs/${file##*/}" || return 1
            args+=("$debs/${file##*/}")
            dpkg -s "$name:amd64" >/dev/null 2>&1 && args+=("$name:amd64=$version")
        done
        [ -n "$fresh" ] || return 1
    done
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
        --no-install-recommends wine32:i386 "${args[@]}" >/dev/null
}

# Downloads the pool file FILE from the first of the repositories BASES that has it, into TARGET.
fetch_from_pool() {
    local base
    for base in $1; do
        "${sudo_cmd[@]}" /usr/lib/apt/apt-helper download-file "$base$2" "$3" >/dev/null 2>&1 &&
            return 0
    done
    return 1
}

# 32-bit Wine: the whole suite where the kernel runs it, the emulated checks where it does not.
if ! vigrel_wine32_installed; then
    echo "setup: installing wine32:i386"
    apt_install wine32:i386 2>/dev/null ||
        install_wine32_from_pool 2>/dev/null ||
        echo "setup: wine32:i386 could not be installed"
fi

if [ "$(vigrel_windows_path)" = win64 ]; then
    # The 64-bit build, 64-bit Wine, and an emulator for the shipped 32-bit DLL.
    missing=()
    command -v x86_64-w64-mingw32-g++-win32 >/dev/null ||
        missing+=(g++-mingw-w64-x86-64-win32 mingw-w64-x86-64-dev)
    [ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
    [ -n "$kernel32" ] || [ -x /usr/bin/qemu-i386-static ] || missing+=(qemu-user-static)
    if [ ${#missing[@]} -gt 0 ]; then
        echo "setup: installing ${missing[*]}"
        apt_install "${missing[@]}"
    fi
fi

# The emulator: binfmt_misc hands every i386 program to qemu-i386 (F: opened now, so it also
# serves Wine's processes in other mount namespaces).
if [ -z "$kernel32" ] && ! vigrel_emulator_ready; then
    binfmt=/proc/sys/fs/binfmt_misc
    [ -f $binfmt/register ] || "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc $binfmt
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
        "${sudo_cmd[@]}" tee $binfmt/register >/dev/null
fi

# Both locales the tests run under: a decimal comma (ru_RU) and a decimal point (en_US).
need_locales=()
for loc in ru_RU en_US; do
    locale -a 2>/dev/null | grep -qix "${loc}.utf8" || need_locales+=("$loc")
done
if [ ${#need_locales[@]} -gt 0 ]; then
    echo "setup: generating locales ${need_locales[*]}"
    for loc in "${need_locales[@]}"; do
        "${sudo_cmd[@]}" sed -i "s/^# *\(${loc}.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^${loc}.UTF-8 UTF-8" /etc/locale.gen ||
            echo "${loc}.UTF-8 UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    done
    "${sudo_cmd[@]}" locale-gen >/dev/null
fi

if [ "$(vigrel_windows_path)" = win32 ]; then
    echo "setup: 32-bit Linux programs run here: the Windows suite runs as shipped, under 32-bit Wine"
elif [ -n "$kernel32" ] && vigrel_wine32_installed; then
    echo "setup: 64-bit way forced (VIGREL_FORCE_WIN64): the Windows suite runs as a 64-bit build" \
         "under 64-bit Wine, the shipped 32-bit DLL in a few 32-bit Wine processes"
elif vigrel_wine32_installed && vigrel_emulator_ready; then
    echo "setup: this kernel cannot run 32-bit Linux programs: the Windows suite runs as a" \
         "64-bit build under 64-bit Wine, the shipped 32-bit DLL under emulation (qemu-i386)"
else
    echo "setup: no 32-bit Wine here: the Windows suite runs as a 64-bit build under 64-bit" \
         "Wine; the shipped DLL is checked only without running it"
fi
