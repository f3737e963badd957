#!/usr/bin/env bash
# Installs Debian packages, as root, for the tools/deps*.sh scripts:
#   tools/apt-install.sh [--add-architecture ARCH] PACKAGE...
# It refreshes the package lists and installs the packages. A fresh Debian often
# runs an apt job of its own in its first minutes (unattended-upgrades, the daily
# refresh of the lists), and apt then stops at once at the lock that job holds.
# This waits for the lock instead, up to APT_LOCK_WAIT seconds (600), and says
# which process holds it. Any failure ends with one line that says what to run.
set -euo pipefail

wait=${APT_LOCK_WAIT:-600}
arch=""
if [ "${1:-}" = --add-architecture ]; then
    arch=$2
    shift 2
fi
[ $# -gt 0 ] || [ -n "$arch" ] || exit 0
retry="apt-get update && apt-get install -y $*"
[ -z "$arch" ] || retry="dpkg --add-architecture $arch && $retry"

give_up()
{
    echo "Could not install the packages the build needs ($1). As root, run: $retry" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || give_up "not root"

# The locks apt and dpkg take (fcntl locks, listed in /proc/locks by device and inode).
locks=(/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock
    /var/cache/apt/archives/lock)

# Prints "<command> (process <pid>) holds <lock>" for the first lock another
# process holds; prints nothing when all are free.
lock_holder()
{
    local lock dev id pid
    for lock in "${locks[@]}"; do
        [ -e "$lock" ] || continue
        dev=$(stat -c %d "$lock")
        # /proc/locks names the device as major:minor in hex, then the inode.
        id=$(printf '%02x:%02x:%d' $(((dev >> 8) & 0xfff)) $(((dev & 0xff) | ((dev >> 12) & 0xfff00))) \
            "$(stat -c %i "$lock")")
        pid=$(awk -v id="$id" '$2 != "->" && $6 == id { print $5; exit }' /proc/locks)
        if [ -n "$pid" ] && [ "$pid" != $$ ]; then
            echo "$(cat "/proc/$pid/comm" 2>/dev/null || echo "?") (process $pid) holds $lock"
            return
        fi
    done
}

# Waits until no process holds apt's locks, or until the time allowed has passed
# (apt-get then reports the lock it cannot take).
deadline=$((SECONDS + wait))
wait_for_lock()
{
    local holder told=""
    [ $SECONDS -lt $deadline ] || return 0
    while holder=$(lock_holder) && [ -n "$holder" ] && [ $SECONDS -lt $deadline ]; do
        if [ -z "$told" ]; then
            echo "The package manager is busy: $holder. Another apt job is running" \
                "(on a fresh system, often the automatic updates); waiting up to" \
                "$((deadline - SECONDS)) s for it to finish."
            told=yes
        fi
        sleep 2
    done
    if [ -n "$holder" ]; then
        echo "The package manager is still busy after $wait s: $holder."
    elif [ -n "$told" ]; then
        echo "The package manager is free again; going on."
    fi
}

# apt-get waits for the locks too, for the time that is left (the lock can be taken
# again between the check above and apt's start).
apt_get()
{
    local left=$((deadline - SECONDS))
    [ $left -gt 0 ] || left=1
    DEBIAN_FRONTEND=noninteractive apt-get -o "DPkg::Lock::Timeout=$left" "$@"
}

echo "Installing: $*"
wait_for_lock
if [ -n "$arch" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    dpkg --add-architecture "$arch" || give_up "dpkg --add-architecture $arch failed"
fi
apt_get update -qq || give_up "apt-get update failed"
wait_for_lock
apt_get install -y -qq "$@" >/dev/null || give_up "apt-get install failed"
