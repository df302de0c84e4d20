#!/usr/bin/env bash
# Fetches the TinyXML every build compiles: the source of Debian's own tinyxml package, of the
# version of the installed libtinyxml-dev, unpacked with Debian's patches into third_party/tinyxml,
# with patches/tinyxml-guards.patch applied on top (nesting and attribute limits).
# Idempotent: when third_party/tinyxml holds that version with that patch it prints nothing and
# returns at once; a changed patch or version fetches the tree afresh.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
target="$root/third_party/tinyxml"
source_package=tinyxml
binary_package=libtinyxml-dev
src_list=/etc/apt/sources.list.d/quillet-deb-src.sources
patch_file="$root/patches/tinyxml-guards.patch"
stamp="$target/.quillet-stamp"

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

installed_version() {
    dpkg-query -W -f='${source:Version}' "$binary_package" 2>/dev/null || true
}

# What the unpacked tree was made from: the package version and the patch's checksum.
wanted_stamp() {
    printf '%s %s\n' "$1" "$(sha256sum "$patch_file" | cut -d' ' -f1)"
}

wanted="$(installed_version)"
if [ -z "$wanted" ]; then
    echo "fetch-tinyxml: $binary_package is not installed; run scripts/bootstrap.sh first" >&2
    exit 1
fi
[ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(wanted_stamp "$wanted")" ] && exit 0

# A deb-src entry mirroring every deb entry of the system's own sources, so the source comes
# from the same Debian release (and the same mirrors) as the installed binary packages.
has_deb_src() {
    grep -qsE '^[[:space:]]*Types:.*deb-src' /etc/apt/sources.list.d/*.sources ||
        grep -qsE '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list
}

add_deb_src() {
    local entries=""
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && [ "$file" != "$src_list" ] || continue
        grep -qE '^[[:space:]]*Types:(.*[[:space:]])?deb([[:space:]]|$)' "$file" || continue
        entries+="$(sed -E 's/^([[:space:]]*Types:).*/\1 deb-src/' "$file")"$'\n\n'
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        entries+="$(sed -nE 's/^[[:space:]]*deb[[:space:]]+(.*)$/\1/p' "$file" |
            awk '{ printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $1, $2;
                   for (i = 3; i <= NF; i++) printf " %s", $i; printf "\n\n" }')"
    done
    if [ -z "$entries" ]; then
        echo "fetch-tinyxml: no Debian package sources found to mirror as deb-src" >&2
        exit 1
    fi
    printf '%s' "$entries" | "${sudo_cmd[@]}" tee "$src_list" >/dev/null
}

source_known() {
    apt-cache showsrc --only-source "$source_package" 2>/dev/null |
        grep -qx "Version: $wanted"
}

if ! source_known; then
    has_deb_src || add_deb_src
    "${sudo_cmd[@]}" apt-get update -qq
fi
if ! source_known && [ ! -f "$src_list" ]; then
    # The deb-src entries already there are for other archives.
    add_deb_src
    "${sudo_cmd[@]}" apt-get update -qq
fi
if ! source_known; then
    # The lists moved on past the installed version: bring the Linux build's package up to the
    # version whose source is available, so both builds still use one version.
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get install -y -qq "$binary_package" >/dev/null
    wanted="$(installed_version)"
    if ! source_known; then
        echo "fetch-tinyxml: no source of $source_package $wanted in the package lists" >&2
        exit 1
    fi
fi

echo "fetch-tinyxml: fetching the $source_package $wanted source package"
mkdir -p "$root/third_party"
work="$(mktemp -d "$root/third_party/.tinyxml.XXXXXX")"
trap 'rm -rf "$work"' EXIT
# apt-get source unpacks and applies Debian's patches; as root it downloads unsandboxed, which
# it reports on stderr.
(cd "$work" && apt-get source -qq "$source_package=$wanted" >/dev/null 2>"$work/apt.log") || {
    cat "$work/apt.log" >&2
    exit 1
}
unpacked="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$source_package-*" | head -n1)"
if [ -z "$unpacked" ] || [ ! -f "$unpacked/tinyxml.cpp" ]; then
    echo "fetch-tinyxml: apt-get source left no unpacked $source_package tree" >&2
    exit 1
fi
patch -s -p1 -d "$unpacked" <"$patch_file" || {
    echo "fetch-tinyxml: $patch_file does not apply to $source_package $wanted" >&2
    exit 1
}
# Every file newer than any object built from the tree it replaces, so every build recompiles.
find "$unpacked" -type f -exec touch {} +
wanted_stamp "$wanted" >"$unpacked/.quillet-stamp"
rm -rf "$target"
mv "$unpacked" "$target"
