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

"$(dirname "$0")/apt-install.sh" bootstrap "${packages[@]}"
