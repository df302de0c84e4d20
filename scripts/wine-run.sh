#!/usr/bin/env bash
# Runs a Windows program under wine the way the Windows tests need it:
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
# The prefix is created on first use (that takes seconds). No display, no Mono/Gecko installers,
# no desktop menu entries and no debug channels keep wine from ever opening a dialog or talking;
# the C.UTF-8 locale gives the ANSI code page 1252 and stores non-ASCII file names as UTF-8.
set -euo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 PREFIX PROGRAM [ARGUMENTS...]" >&2
    exit 2
fi
prefix="$(realpath -m "$1")"  # wine takes absolute prefixes only
shift

# Debian 12 installs the 64-bit loader in wine's own library folder, not on PATH.
wine=""
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then
        wine="$candidate"
        break
    fi
done
if [ -z "$wine" ]; then
    echo "$0: no wine64 found; run scripts/bootstrap.sh" >&2
    exit 127
fi

mkdir -p "$(dirname "$prefix")"
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8
exec "$wine" "$@"
