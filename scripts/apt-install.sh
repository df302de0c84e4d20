#!/usr/bin/env bash
# Installs the named Debian packages that are missing, quietly:
#   scripts/apt-install.sh LABEL PACKAGE...
# Idempotent: when every package is present it prints nothing and returns at once (one dpkg-query
# for all of them, so that a warm `make run` does no apt work).
set -euo pipefail

label="$1"
shift

declare -A status
while read -r name state; do
    status["$name"]="$state"
done < <(dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' "$@" 2>/dev/null || true)

missing=()
for p in "$@"; do
    [ "${status[$p]:-}" = ii ] || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
    echo "$label: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
