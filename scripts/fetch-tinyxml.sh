#!/usr/bin/env bash
# Fetches the TinyXML every build compiles: the source of Debian's own tinyxml package at the
# pinned version below, unpacked with Debian's patches into third_party/tinyxml, with
# patches/tinyxml-guards.patch and patches/tinyxml-speed.patch applied on top. The same tree
# without our patches goes to third_party/tinyxml-debian: the differential tests compare the
# two parsers (tests/tinyxml, fuzz/TinyXmlDiffFuzz.cpp).
#
# The element stream (src/xml/ElementStream.cpp) drives TinyXML's own parsers and is proven,
# by the differential tests and long fuzz runs, against this one version with these patches;
# so the version is pinned here and in the guards patch (TIXML_DEBIAN_REVISION, checked at
# compile time in src/xml/XmlPart.h), and nothing is upgraded when the package lists move on.
# docs/fuzzing.md says how to re-prove another version.
#
# The source package is fetched with a private apt state (scripts/private-apt.sh), so the
# system's apt sources and lists are left as they are.
#
# Idempotent: when third_party/tinyxml holds the pinned version with these patches it prints
# nothing and returns at once; a changed patch fetches the tree afresh.
set -euo pipefail

pinned_version=2.6.2-6+deb12u1
source_package=tinyxml

root="$(cd "$(dirname "$0")/.." && pwd)"
target="$root/third_party/tinyxml"
debian_target="$root/third_party/tinyxml-debian"
patch_files=("$root/patches/tinyxml-guards.patch" "$root/patches/tinyxml-speed.patch")
stamp="$target/.quillet-stamp"

# What the unpacked tree is made from: the version and each patch's checksum.
wanted_stamp() {
    printf '%s' "$pinned_version"
    sha256sum "${patch_files[@]}" | cut -d' ' -f1 | tr '\n' ' ' | sed 's/^/ /; s/ $//'
    printf '\n'
}

[ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(wanted_stamp)" ] && [ -f "$debian_target/tinyxml.cpp" ] &&
    exit 0

fail() {
    echo "fetch-tinyxml: $*" >&2
    exit 1
}

if ! grep -qF "#define TIXML_DEBIAN_REVISION	\"$pinned_version\"" "${patch_files[0]}"; then
    fail "patches/tinyxml-guards.patch does not name $pinned_version in TIXML_DEBIAN_REVISION"
fi

. "$root/scripts/private-apt.sh"
private_apt_setup "$root" || fail "cannot set up the private apt state"
if ! private_apt_knows "$source_package" "$pinned_version"; then
    fail "the source of $source_package $pinned_version, which the element stream is proven" \
        "against, is not in the package lists any more. To move to another version, set" \
        "pinned_version in scripts/fetch-tinyxml.sh and TIXML_DEBIAN_REVISION in the guards" \
        "patch (and src/xml/XmlPart.h), make both patches apply, and re-prove it as" \
        "docs/fuzzing.md says (\"Re-proving the parser\")."
fi

echo "fetch-tinyxml: fetching the $source_package $pinned_version source package"
mkdir -p "$root/third_party"
work="$(mktemp -d "$root/third_party/.tinyxml.XXXXXX")"
trap 'rm -rf "$work"' EXIT
# apt-get source unpacks and applies Debian's patches; as root it downloads unsandboxed, which
# it reports on stderr.
(cd "$work" && private_apt source -qq "$source_package=$pinned_version" >/dev/null \
    2>"$work/apt.log") || {
    cat "$work/apt.log" >&2
    exit 1
}
unpacked="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$source_package-*" | head -n1)"
if [ -z "$unpacked" ] || [ ! -f "$unpacked/tinyxml.cpp" ]; then
    fail "apt-get source left no unpacked $source_package tree"
fi
cp -a "$unpacked" "$work/debian"
for patch_file in "${patch_files[@]}"; do
    patch -s -p1 -d "$unpacked" <"$patch_file" ||
        fail "$patch_file does not apply to $source_package $pinned_version"
done
# Every file newer than any object built from the tree it replaces, so every build recompiles.
find "$unpacked" "$work/debian" -type f -exec touch {} +
wanted_stamp >"$unpacked/.quillet-stamp"
rm -rf "$target" "$debian_target"
mv "$work/debian" "$debian_target"
mv "$unpacked" "$target"
