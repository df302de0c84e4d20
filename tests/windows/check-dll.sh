#!/usr/bin/env bash
# Checks the built Windows module as a host and an installer see it:
#   check-dll.sh OBJDUMP WINDRES MODULE VERSION
# a 64-bit DLL exporting exactly the seven content plug-in functions by name, importing only
# DLLs that every Windows has (so zlib, libstdc++, libgcc and winpthread are linked in), and
# carrying the version resource with exactly the expected strings.
set -euo pipefail

if [ $# -ne 4 ]; then
    echo "usage: $0 OBJDUMP WINDRES MODULE VERSION" >&2
    exit 2
fi
objdump="$1"
windres="$2"
module="$3"
version="$4"
name="$(basename "$module")"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Compares two texts line by line and reports the difference.
expect_lines() {
    local what="$1" expected="$2" actual="$3"
    if [ "$expected" != "$actual" ]; then
        fail "$what differ:"
        diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed 's/^/    /' >&2 || true
    fi
}

headers="$("$objdump" -p "$module")"

grep -q 'file format pei-x86-64' <<<"$headers" || fail "$name is not a PE32+ x86-64 image"
grep -qx $'\tDLL' <<<"$headers" || fail "$name is not marked as a DLL"

exports="$(awk '/^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
                table && NF == 0 { table = 0 }
                table { print $NF }' <<<"$headers" | sort)"
expect_lines "exported names" \
    $'ContentGetDetectString\nContentGetSupportedField\nContentGetValue\nContentGetValueW\nContentPluginUnloading\nContentStopGetValue\nContentStopGetValueW' \
    "$exports"
export_name="$(awk '/^Name[[:space:]]+[0-9a-f]+[[:space:]]/ { print $NF; exit }' <<<"$headers")"
[ "$export_name" = "$name" ] || fail "export table names the module '$export_name', not '$name'"

imports="$(awk '/DLL Name:/ { print $NF }' <<<"$headers" | sort -u)"
[ -n "$imports" ] || fail "$name imports no DLL at all (objdump output not understood?)"
while IFS= read -r dll; do
    [ -n "$dll" ] || continue
    case "${dll,,}" in
        kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll | api-ms-win-core-*.dll) ;;
        *) fail "$name imports $dll, which is not a system DLL" ;;
    esac
done <<<"$imports"

resources="$("$windres" -i "$module" -O rc)" || fail "$name has no readable resources"
numeric="${version//./, }"
grep -qx " FILEVERSION $numeric" <<<"$resources" || fail "FILEVERSION is not $numeric"
grep -qx " PRODUCTVERSION $numeric" <<<"$resources" || fail "PRODUCTVERSION is not $numeric"
grep -qx ' FILETYPE 0x2' <<<"$resources" || fail "the version resource does not say VFT_DLL"
strings="$(sed -nE 's/^[[:space:]]*VALUE "([^"]+)", "(.*)"[[:space:]]*$/\1=\2/p' <<<"$resources" |
    sort)"
expect_lines "version strings" "FileDescription=Content plugin for viewing Quillet files properties.
FileVersion=$version
InternalName=Quillet
OriginalFilename=Quillet.wdx64
ProductName=Quillet wdx plugin
ProductVersion=$version" "$strings"

if [ "$failures" -ne 0 ]; then
    echo "$name: $failures check(s) failed" >&2
    exit 1
fi
echo "$name: exports, imports ($(tr '\n' ' ' <<<"$imports")) and version resource as expected"
