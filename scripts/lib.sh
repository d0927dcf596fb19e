# Helpers the scripts share; sourced, not run. Progress goes to stderr, so a script whose
# standard output is its answer (a folder, a connection string) stays clean.

# Runs a command as root: directly when root already, else through sudo.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs those of the named Debian packages that are not installed yet.
install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    as_root apt-get update >&2
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" >&2
}

# Lets `apt-get source` work: Debian's source lines beside its binary ones, once.
enable_deb_src() {
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            as_root tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
        as_root apt-get update >&2
    fi
}

# The versions of Debian's source package $1 the mirror lists: that of the installed binary package
# $2 first, then the newest first. The mirror does not always hold every file of each.
deb_source_versions() {
    local have listed
    have=$(dpkg-query -W -f='${Version}' "$2" 2>/dev/null || true)
    listed=$(apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -Vru)
    { grep -Fx -- "$have" <<<"$listed" || true; echo "$listed"; } | awk 'NF && !seen[$0]++'
}

# Fetches Debian's source package $1 at version $2 into the current folder, unpacked unless $3 is
# --download-only; fails, leaving nothing of it, when the mirror lacks one of its files.
deb_source() {
    apt-get source ${3:+"$3"} "$1=$2" >&2 && return 0
    rm -rf -- "$1"_* "$1"-*
    return 1
}
