#!/usr/bin/env bash
# Checks that the built Linux module defines exactly the seven content plug-in functions in its
# dynamic symbol table, and nothing else a host could bind to:
#   check-exports.sh NM MODULE
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 NM MODULE" >&2
    exit 2
fi
nm="$1"
module="$2"

actual="$("$nm" -D --defined-only "$module" | awk '{ print $(NF - 1), $NF }' | sort)"
expected=$'T ContentGetDetectString\nT ContentGetSupportedField\nT ContentGetValue\nT ContentGetValueW\nT ContentPluginUnloading\nT ContentStopGetValue\nT ContentStopGetValueW'
if [ "$actual" != "$expected" ]; then
    echo "FAIL: the dynamic symbols defined by $(basename "$module") differ:" >&2
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed 's/^/    /' >&2 || true
    exit 1
fi
echo "$(basename "$module"): exactly the seven exported functions"
