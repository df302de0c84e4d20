# Sourced by the scripts that fetch Debian source packages (fetch-tinyxml.sh, fetch-zlib.sh):
# apt with a private state under third_party/.source-apt, whose sources list mirrors the
# system's deb entries as deb-src (the same Debian release and mirrors as the installed
# packages), with lists and a cache of its own. The system's apt sources and lists are left as
# they are. Defines:
#   private_apt_setup ROOT     prepares the state; afterwards
#   private_apt ARGS...        runs apt-get on it, and
#   private_apt_cache ARGS...  runs apt-cache on it.

private_apt_mirror_sources() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        grep -qE '^[[:space:]]*Types:(.*[[:space:]])?deb([[:space:]]|$)' "$file" || continue
        sed -E 's/^([[:space:]]*Types:).*/\1 deb-src/' "$file"
        printf '\n'
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        sed -nE 's/^[[:space:]]*deb[[:space:]]+(.*)$/\1/p' "$file" |
            awk '{ printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $1, $2;
                   for (i = 3; i <= NF; i++) printf " %s", $i; printf "\n\n" }'
    done
}

private_apt_setup() {
    private_apt_state="$1/third_party/.source-apt"
    mkdir -p "$private_apt_state/sources.list.d" "$private_apt_state/lists/partial" \
        "$private_apt_state/cache/archives/partial"
    private_apt_mirror_sources >"$private_apt_state/sources.list.d/deb-src.sources"
    if [ ! -s "$private_apt_state/sources.list.d/deb-src.sources" ]; then
        echo "no Debian package sources found to mirror as deb-src" >&2
        return 1
    fi
    private_apt_options=(
        -o "Dir::Etc::SourceList=/dev/null"
        -o "Dir::Etc::SourceParts=$private_apt_state/sources.list.d"
        -o "Dir::State::Lists=$private_apt_state/lists"
        -o "Dir::Cache=$private_apt_state/cache"
    )
}

private_apt() {
    apt-get "${private_apt_options[@]}" "$@"
}

private_apt_cache() {
    apt-cache "${private_apt_options[@]}" "$@"
}

# Whether the private lists know version $2 of source package $1; they are updated once when
# they do not.
private_apt_knows() {
    local records
    records="$(private_apt_cache showsrc --only-source "$1" 2>/dev/null || true)"
    grep -qx "Version: $2" <<<"$records" && return 0
    private_apt update -qq >"$private_apt_state/update.log" 2>&1 || {
        cat "$private_apt_state/update.log" >&2
        return 1
    }
    records="$(private_apt_cache showsrc --only-source "$1" 2>/dev/null || true)"
    grep -qx "Version: $2" <<<"$records"
}
