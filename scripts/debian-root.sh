#!/usr/bin/env bash
# Runs a command on this source tree in a root of another Debian release, so that one machine
# checks Pemvaro on Debian 12 ("bookworm") and on Debian 13 ("trixie") alike.
#   scripts/debian-root.sh RELEASE COMMAND...    e.g. scripts/debian-root.sh trixie ./build.sh test
#   scripts/debian-root.sh other COMMAND...      the supported release this machine is not
# The root is made once with debootstrap from the Debian mirror this machine already uses and kept
# in /var/cache/pemvaro/roots/RELEASE (PEMVARO_ROOTS to move it), with what the command installed
# and built there; the tree is copied to /src/pemvaro inside it, only the files that changed.
# Needs root; inside such a root it does nothing, so a root holds no root of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

[ $# -ge 2 ] || { echo "usage: $0 RELEASE|other COMMAND..." >&2; exit 2; }
release=$1
shift

if [ -e /etc/pemvaro-root ]; then
    echo "Already in a root of $(cat /etc/pemvaro-root): not making another."
    exit 0
fi
. /etc/os-release
if [ "$release" = other ]; then
    case "${VERSION_CODENAME:-}" in
    bookworm) release=trixie ;;
    trixie) release=bookworm ;;
    *) echo "This machine runs ${PRETTY_NAME:-an unknown system}; name the release." >&2; exit 2 ;;
    esac
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "A root of Debian '$release' is made and entered as root: sudo $0 $release $*" >&2
    exit 1
fi

for tool in debootstrap rsync; do
    if ! command -v "$tool" >/dev/null; then
        apt-get -o DPkg::Lock::Timeout=600 update -qq
        DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
            --no-install-recommends debootstrap rsync
        break
    fi
done

# The mirror of this machine's own release: the first source that serves its codename.
mirror() {
    local uri
    uri=$(awk -v c="$VERSION_CODENAME" '/^URIs:/ { u = $2 }
        /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == c) { print u; exit } }' \
        /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
    [ -n "$uri" ] || uri=$(sed 's/\[[^]]*\]//' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        2>/dev/null | awk -v c="$VERSION_CODENAME" '$1 == "deb" && $3 == c { print $2; exit }' || true)
    echo "${uri:-http://deb.debian.org/debian}"
}

root=${PEMVARO_ROOTS:-/var/cache/pemvaro/roots}/$release
if [ ! -e "$root/etc/pemvaro-root" ]; then
    rm -rf "$root.partial"
    mkdir -p "$(dirname "$root")"
    echo "Making a Debian '$release' root in $root from $(mirror)"
    debootstrap --variant=minbase "$release" "$root.partial" "$(mirror)" >"$root.log" 2>&1 ||
        { tail -20 "$root.log" >&2; exit 1; }
    echo "$release" >"$root.partial/etc/pemvaro-root"
    rm -rf "$root"
    mv "$root.partial" "$root"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The certificate authorities the machine trusts, for Node and npm in the root, which fetch the
# TeX engines' test's packages over TLS: a machine behind a proxy may trust an authority of its own.
host_cas=$root/etc/ssl/certs/pemvaro-host-cas.crt
mkdir -p "$(dirname "$host_cas")"
cp /etc/ssl/certs/ca-certificates.crt "$host_cas" 2>/dev/null || : >"$host_cas"

# The kernel's file systems, for this run only; those already there are left as they are.
mounted=()
unmount() {
    local m
    for m in "${mounted[@]}"; do umount -R -l "$m" || true; done
}
trap unmount EXIT
attach() {
    local target=$root/$1
    shift
    mountpoint -q "$target" && return 0
    mount "$@" "$target"
    mounted=("$target" "${mounted[@]}")
}
attach proc -t proc proc
attach sys -t sysfs sys
attach dev --rbind /dev
mount --make-rslave "$root/dev"

# Only files that changed get a new time, so the builds kept in the root stay incremental.
mkdir -p "$root/src/pemvaro"
rsync -rl --checksum --delete --exclude '/build*/' --exclude '/.git' "$here/" "$root/src/pemvaro/"

echo "== In Debian '$release' ($root): $*"
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" \
    NODE_EXTRA_CA_CERTS=/etc/ssl/certs/pemvaro-host-cas.crt \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c 'cd /src/pemvaro && exec "$@"' bash "$@"
