#!/usr/bin/env bash
# Installs what building and testing Vigrel needs on a Debian machine; does nothing when all is
# there. Safe to run again and again.
set -euo pipefail

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

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
dpkg -s wine32:i386 >/dev/null 2>&1 || missing+=(wine32:i386)

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo_cmd[@]}" dpkg --add-architecture i386
    fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
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
