#!/usr/bin/env bash
# Installs what only `make bench` needs, from Debian's packages: the libraries that write its
# real producers' inputs (openpyxl, python-docx) and the peers it is timed against (xlsx2csv,
# docx2txt), and GNU time, which reports a program's own peak memory. Kept apart from scripts/bootstrap.sh so that building and testing never need them.
# Idempotent: when everything is present it prints nothing and returns at once.
set -euo pipefail

packages=(python3 python3-openpyxl python3-docx xlsx2csv docx2txt time)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
    echo "bootstrap-bench: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
