#!/usr/bin/env bash
# Installs what building and testing Quillet needs, from Debian's packages only.
# Idempotent: when everything is present it prints nothing and returns at once.
set -euo pipefail

packages=(
    cmake ninja-build g++ make pkg-config
    libtinyxml-dev zlib1g-dev
    libgtest-dev googletest libbenchmark-dev
    clang libclang-rt-14-dev valgrind
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
    wine64 dpkg-dev patch python3
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
    echo "bootstrap: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
