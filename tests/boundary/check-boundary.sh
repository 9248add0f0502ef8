#!/usr/bin/env bash
# Checks the plug-in's binary boundary from the file alone, without running it:
#   check-boundary.sh OBJDUMP NM PLUGIN [SYMBOLS]
# SYMBOLS is the file that holds the plug-in's symbols (default: the plug-in itself); for a
# stripped plug-in, the debug file its debug link names.
# A PE32 plug-in exports exactly the seven entry points by undecorated name, each the alias of
# its __stdcall symbol NAME@N whose N is the size of the entry point's arguments; it imports from
# Windows system DLLs only, and uses no SSE instruction. A PE32+ (64-bit) build exports the same seven names; the 64-bit ABI
# has one calling convention and no @N decoration, so there is no argument size to check.
set -uo pipefail
objdump=$1
nm=$2
plugin=$3
symbols=${4:-$3}
failures=0
fail() {
    echo "boundary: $*"
    failures=$((failures + 1))
}

# The entry points and the bytes of arguments each takes on the stack (four of 4 bytes = 16).
declare -A sizes=(
    [tsRegisterPlugIn]=16 [tsInitPlugIn]=16 [tsRegisterScriptProcessor]=4
    [tsRegisterInterfaceAccess]=4 [tsExecAction]=8 [tsEditAction]=8 [tsMessage]=4
)
# Windows' own DLLs; msvcrt.dll is the system's C runtime, OLEACC.dll (on every Windows from XP
# SP3) answers screen readers, with OLEAUT32.dll's strings.
allowed_imports="GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll OLEACC.dll OLEAUT32.dll"
allowed_imports+=" SHELL32.dll USER32.dll UxTheme.dll"

headers=$("$objdump" -p "$plugin") || { echo "boundary: $plugin cannot be read"; exit 1; }
format=$(echo "$headers" | sed -n 's/.*file format \(.*\)/\1/p' | head -1)
base=$(echo "$headers" | sed -n 's/^ImageBase[[:space:]]*\([0-9a-f]*\)/\1/p')

# The export table: ordinal index, RVA; then the names with their ordinal index.
declare -A rva_of_index name_rva
while read -r index rva; do
    rva_of_index[$index]=$rva
done < <(echo "$headers" | sed -n 's/^[[:space:]]*\[ *\([0-9]*\)\] +base\[ *[0-9]*\] \([0-9a-f]*\) Export RVA/\1 \2/p')
exported=()
while read -r index name; do
    exported+=("$name")
    name_rva[$name]=${rva_of_index[$index]:-}
done < <(echo "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *\([0-9]*\)\] \(.*\)/\1 \2/p')

expected=$(printf '%s\n' "${!sizes[@]}" | sort)
actual=$(printf '%s\n' "${exported[@]}" | sort)
[ "$expected" = "$actual" ] || fail "exports are [$(echo $actual)], expected [$(echo $expected)]"
[ "${#rva_of_index[@]}" -eq 7 ] || fail "${#rva_of_index[@]} exported addresses, expected 7"

case "$format" in
pei-i386)
    symbol_table=$("$nm" -n "$symbols") || { echo "boundary: $symbols has no symbols"; exit 1; }
    for name in "${!sizes[@]}"; do
        decorated="_${name}@${sizes[$name]}"
        address=$(echo "$symbol_table" | awk -v s="$decorated" '$3 == s && $2 == "T" { print $1 }')
        if [ -z "$address" ]; then
            fail "$name: no function $decorated (wrong argument size or not __stdcall)"
        elif [ -n "${name_rva[$name]:-}" ] &&
             [ $((16#$address - 16#$base)) -ne $((16#${name_rva[$name]})) ]; then
            fail "$name is exported at RVA ${name_rva[$name]}, not at $decorated"
        fi
    done
    # 32-bit Windows also runs on processors without SSE: no code of the DLL may use its
    # registers. The exception tables that share the code section are data, not code: each
    # reaches from its symbol to the next one, and the code between them is disassembled range
    # by range, each starting at a symbol, so a stripped plug-in is read as exactly.
    read -r text_start text_size < <("$objdump" -h "$plugin" | awk '$2 == ".text" { print $4, $3 }')
    text_start=$((16#$text_start))
    text_end=$((text_start + 16#$text_size))
    from=$text_start
    table=
    ranges=()
    while read -r address _ symbol; do
        [[ $address =~ ^[0-9a-f]+$ ]] || continue
        address=$((16#$address))
        [ "$address" -ge "$text_start" ] && [ "$address" -lt "$text_end" ] || continue
        if [ -n "$table" ] && [ "$address" -gt "$table" ]; then
            from=$address
            table=
        fi
        if [[ $symbol == *except_table* ]]; then
            [ "$address" -gt "$from" ] && ranges+=("$from:$address")
            from=$address
            table=$address
        fi
    done <<<"$symbol_table"
    [ -z "$table" ] && ranges+=("$from:$text_end")
    sse=0
    for range in "${ranges[@]}"; do
        found=$("$objdump" -d --start-address="${range%:*}" --stop-address="${range#*:}" \
                    "$plugin" | grep -c '%xmm[0-9]')
        sse=$((sse + found))
    done
    [ "$sse" -eq 0 ] || fail "$sse instructions use SSE registers, which older processors lack"
    ;;
pei-x86-64)
    echo "boundary: 64-bit build: one calling convention, no @N names; argument sizes not checked"
    ;;
*)
    fail "$plugin is $format, not a PE32 or PE32+ DLL"
    ;;
esac

for dll in $(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    case " $allowed_imports " in
    *" $dll "*) ;;
    *) fail "imports from $dll, which is not a Windows system DLL" ;;
    esac
done

if [ $failures -eq 0 ]; then
    echo "boundary: $(basename "$plugin") ($format): seven entry points, system imports only"
fi
[ $failures -eq 0 ]
