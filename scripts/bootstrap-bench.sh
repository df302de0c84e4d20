#!/usr/bin/env bash
# Installs what only `make bench` needs, from Debian's packages: Google Benchmark, the libraries
# that write its real producers' inputs (openpyxl, python-docx), the peers it is timed against
# (xlsx2csv, docx2txt), and GNU time, which reports a program's own peak memory. Kept apart from
# scripts/bootstrap.sh so that building and testing never need them.
# Idempotent: when everything is present it prints nothing and returns at once.
set -euo pipefail

packages=(libbenchmark-dev python3 python3-openpyxl python3-docx xlsx2csv docx2txt time)

"$(dirname "$0")/apt-install.sh" bootstrap-bench "${packages[@]}"
