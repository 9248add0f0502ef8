# Which way this machine runs the Windows programs; sourced by setup.sh, test.sh and demo.sh.
#
# Debian's Wine runs 32-bit Windows programs through its 32-bit Linux loader. Where the kernel
# runs 32-bit Linux programs, everything runs as shipped, under 32-bit Wine ("win32"). Where it
# cannot (or with VIGREL_FORCE_WIN64=1), the Windows suite runs as a 64-bit build under 64-bit
# Wine ("win64"), and the shipped 32-bit DLL runs through user-mode emulation (qemu-i386), which
# costs about a minute of processor time per Wine process.

# Runs a 96-byte i386 Linux program that exits with status 42, with any emulator that
# binfmt_misc holds for i386 turned off meanwhile, so the answer is the kernel's own.
vigrel_kernel_runs_32bit() {
    local probe entry=/proc/sys/fs/binfmt_misc/qemu-i386 status paused=
    probe=$(mktemp)
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0'\
'\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0'\
'\0\20\0\0\270\1\0\0\0\273\52\0\0\0\315\200' >"$probe"
    chmod +x "$probe"
    if [ -f "$entry" ] && head -1 "$entry" | grep -qx enabled; then
        echo 0 >"$entry" && paused=1
    fi
    "$probe" 2>/dev/null
    status=$?
    [ -n "$paused" ] && echo 1 >"$entry"
    rm -f "$probe"
    [ $status -eq 42 ]
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
