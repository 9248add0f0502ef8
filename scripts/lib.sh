# What the scripts share, sourced by each of them: which way this machine runs the Windows
# programs and which Windows tests run there, the time a release carries, and the verdict of a
# check.
#
# Debian's Wine runs 32-bit Windows programs through its 32-bit Linux loader. Where the kernel
# runs 32-bit Linux programs, everything runs as shipped, under 32-bit Wine ("win32"). Where it
# cannot (or with VIGREL_FORCE_WIN64=1), the Windows suite runs as a 64-bit build under 64-bit
# Wine ("win64"), and the shipped 32-bit DLL runs through user-mode emulation (qemu-i386), which
# costs about a minute of processor time per Wine process.

# Runs a 96-byte i386 Linux program that exits with status 42, as the kernel alone would: one
# padding byte of its ELF identification (e_ident[9]) is not zero. The kernel's ELF loader ignores
# the padding; the i386 emulator's binfmt_misc entry (qemu-i386, as Debian and scripts/setup.sh
# register it) matches only where it is zero, so it never takes this program. The entry is never
# touched: a Wine process under emulation may start at any moment.
vigrel_probe_32bit() {
    local probe status
    probe=$(mktemp)
    printf '\177ELF\1\1\1\0\0\1\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0'\
'\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0'\
'\0\20\0\0\270\1\0\0\0\273\52\0\0\0\315\200' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    status=$?
    rm -f "$probe"
    [ $status -eq 42 ]
}

# Whether the kernel runs 32-bit Linux programs is found once per run: the first script of the
# run that sources this file runs the probe and exports the answer (VIGREL_KERNEL_RUNS_32BIT, 1
# or 0); the scripts it starts, and every question after, read that.
if [ -z "${VIGREL_KERNEL_RUNS_32BIT:-}" ]; then
    if vigrel_probe_32bit; then
        VIGREL_KERNEL_RUNS_32BIT=1
    else
        VIGREL_KERNEL_RUNS_32BIT=0
    fi
    export VIGREL_KERNEL_RUNS_32BIT
fi

vigrel_kernel_runs_32bit() {
    [ "$VIGREL_KERNEL_RUNS_32BIT" = 1 ]
}

# An i386 emulator registered with binfmt_misc: 32-bit programs run, slowly.
vigrel_emulator_ready() {
    [ -f /proc/sys/fs/binfmt_misc/qemu-i386 ] &&
        head -1 /proc/sys/fs/binfmt_misc/qemu-i386 | grep -qx enabled
}

vigrel_wine32_installed() {
    dpkg -s wine32:i386 >/dev/null 2>&1
}

# Prints win32 or win64: the build whose Windows suite runs here in full.
vigrel_windows_path() {
    if [ -z "${VIGREL_FORCE_WIN64:-}" ] && vigrel_kernel_runs_32bit && vigrel_wine32_installed; then
        echo win32
    else
        echo win64
    fi
}

# Prints which Windows tests the shipped 32-bit build runs here: all (under 32-bit Wine), emulated
# (its test program, one publication and a fault sample, under user-mode emulation) or none. The
# build reads this answer when it is configured (VIGREL_WINDOWS_RUN in CMakeLists.txt).
vigrel_win32_run() {
    if [ "$(vigrel_windows_path)" = win32 ]; then
        echo all
    elif vigrel_wine32_installed && { vigrel_kernel_runs_32bit || vigrel_emulator_ready; }; then
        echo emulated
    else
        echo none
    fi
}

# Prints the time a release of the sources in SOURCE_DIR carries: SOURCE_DATE_EPOCH, else the
# time of their last commit; fails outside a git checkout.
vigrel_release_epoch() {
    if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
        echo "$SOURCE_DATE_EPOCH"
    else
        git -C "$1" log -1 --format=%ct 2>/dev/null
    fi
}

# The verdict of a check that goes on after a failure:
#   vigrel_checks NAME     every later `vigrel_fail TEXT` prints "NAME: TEXT" and counts a failure
#   vigrel_passed SUMMARY  prints "NAME: SUMMARY" when nothing failed; its status is the verdict
vigrel_checks() {
    check_name=$1
    failures=0
}
vigrel_fail() {
    echo "$check_name: $*"
    failures=$((failures + 1))
}
vigrel_passed() {
    [ "$failures" -eq 0 ] && echo "$check_name: $*"
    [ "$failures" -eq 0 ]
}
