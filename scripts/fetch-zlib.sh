#!/usr/bin/env bash
# Fetches the zlib the ThreadSanitizer build compiles (so the sanitizer sees inflate's accesses):
# the source of Debian's own zlib package, of the version of the installed zlib1g-dev, unpacked
# with Debian's patches into third_party/zlib, fetched with the private apt state of
# scripts/private-apt.sh, which leaves the system's apt sources as they are.
# Idempotent: when third_party/zlib holds that version it prints nothing and returns at once.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
target="$root/third_party/zlib"
source_package=zlib
binary_package=zlib1g-dev
stamp="$target/.quillet-stamp"

wanted="$(dpkg-query -W -f='${source:Version}' "$binary_package" 2>/dev/null || true)"
if [ -z "$wanted" ]; then
    echo "fetch-zlib: $binary_package is not installed; run scripts/bootstrap.sh first" >&2
    exit 1
fi
[ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ] && exit 0

. "$root/scripts/private-apt.sh"
private_apt_setup "$root" || exit 1
if ! private_apt_knows "$source_package" "$wanted"; then
    echo "fetch-zlib: no source of $source_package $wanted in the package lists" >&2
    exit 1
fi

echo "fetch-zlib: fetching the $source_package $wanted source package"
mkdir -p "$root/third_party"
work="$(mktemp -d "$root/third_party/.zlib.XXXXXX")"
trap 'rm -rf "$work"' EXIT
(cd "$work" && private_apt source -qq "$source_package=$wanted" >/dev/null 2>"$work/apt.log") || {
    cat "$work/apt.log" >&2
    exit 1
}
unpacked="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$source_package-*" | head -n1)"
if [ -z "$unpacked" ] || [ ! -f "$unpacked/inflate.c" ]; then
    echo "fetch-zlib: apt-get source left no unpacked $source_package tree" >&2
    exit 1
fi
find "$unpacked" -type f -exec touch {} +
printf '%s\n' "$wanted" >"$unpacked/.quillet-stamp"
rm -rf "$target"
mv "$unpacked" "$target"
