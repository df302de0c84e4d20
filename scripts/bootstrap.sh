#!/usr/bin/env bash
# Installs, from Debian's packages only, what the named sets of make targets use:
#   scripts/bootstrap.sh SET...     (no SET: all of them)
# Each make target names the sets it needs, so nothing installs what nothing uses.
# Idempotent: when everything is present it prints nothing and returns at once.
set -euo pipefail

declare -A sets=(
    # The Linux module and quillet-host (make run): the compiler, CMake, Ninja and zlib, and what
    # the TinyXML source step uses: the libtinyxml-dev version it follows, apt-get source's
    # dpkg-source (dpkg-dev) and patch.
    [linux]="g++ make cmake ninja-build zlib1g-dev libtinyxml-dev dpkg-dev patch"
    # The Linux tests (make check): GoogleTest, Python for the host and package checks, and
    # file, which CPack's Debian generator runs for dpkg-shlibdeps.
    [tests]="libgtest-dev googletest python3 file"
    # The .deb and .tar.gz (make package).
    [package]="file"
    # The Windows module, cross-built (make build-windows, make package).
    [windows]="g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev"
    # Its tests under wine, compiled with GoogleTest's sources (make test-windows).
    [wine]="wine64 googletest"
    # The libFuzzer targets (make fuzz, and the smoke run of make test).
    [fuzz]="clang libclang-rt-14-dev"
)

names=("$@")
[ ${#names[@]} -gt 0 ] || names=(linux tests package windows wine fuzz)

packages=()
for name in "${names[@]}"; do
    if [ -z "${sets[$name]+set}" ]; then
        echo "bootstrap: no set '$name' (sets: ${!sets[*]})" >&2
        exit 2
    fi
    read -ra words <<<"${sets[$name]}"
    packages+=("${words[@]}")
done

"$(dirname "$0")/apt-install.sh" "bootstrap ${names[*]}" "${packages[@]}"
