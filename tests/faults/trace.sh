#!/usr/bin/env bash
# Runs one point of the sweep with FAULTHOST_TRACE set and names the functions on the stack of
# the refused request: each "refused from MODULE+0xOFFSET" of the plug-in becomes its function,
# inlined calls included, and source line, read from the DLL's debug information by addr2line
# (the names of the 32-bit build's __stdcall functions lose their @N before they are demangled).
# The 32-bit build needs frame pointers for a whole stack (VIGREL_FRAME_POINTERS).
#   trace.sh BIN SCENARIO KIND N -- COMMAND...
set -uo pipefail
bin=$1 scenario=$2 kind=$3 point=$4
shift 5
plugin="$bin/Vigrel.tsp"
case "$(objdump -f "$plugin")" in
*pei-i386*) addr2line=i686-w64-mingw32-addr2line ;;
*) addr2line=x86_64-w64-mingw32-addr2line ;;
esac
base=$(objdump -p "$plugin" | awk '$1 == "ImageBase" { print $2 }')
"$@" --start
trap '"$@" --stop' EXIT
FAULTHOST_TRACE=1 "$@" "$bin/FaultHost.exe" "$plugin" "$scenario" "$kind" "$point" "$point" 2>&1 |
    tr -d '\r' | while IFS= read -r line; do
    case "$line" in
    "refused from "*Vigrel.tsp+0x*)
        # A return address: the call is the instruction before it.
        offset=${line##*+}
        LC_ALL=C "$addr2line" -f -i -p -e "$plugin" \
            "$(printf '0x%x' $((0x$base + offset - 1)))" |
            sed -E 's/(_Z[^ ]*)@[0-9]+ /\1 /' | c++filt |
            sed 's/^ *(inlined by)/    inlined in/; s/^/  /'
        ;;
    *) printf '%s\n' "$line" ;;
    esac
done
