#!/usr/bin/env bash
# Builds the module of an earlier revision, the build `make bench` measures the speed targets
# against: the tree of REV exported into DIR/src (with this tree's TinyXML, fetched with the same
# patch) and its module built with the bench preset. Idempotent: a module built from REV stays.
# Usage: scripts/build-baseline.sh REV DIR
set -euo pipefail

rev="$1"
dir="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
commit="$(git -C "$root" rev-parse --verify "$rev^{commit}")"
stamp="$dir/built-from"
module="$dir/src/build/bench/Quillet.wdx"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$commit" ] && [ -f "$module" ]; then
    exit 0
fi
echo "building the module of $rev, the speed targets' earlier build, into $dir"
rm -rf "$dir"
mkdir -p "$dir/src/third_party"
git -C "$root" archive "$commit" | tar -x -C "$dir/src"
ln -s "$root/third_party/tinyxml" "$dir/src/third_party/tinyxml"
(cd "$dir/src" && cmake --preset bench >/dev/null && cmake --build --preset bench --target quillet_module >/dev/null)
echo "$commit" >"$stamp"
