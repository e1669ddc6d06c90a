#!/usr/bin/env bash
# scripts/netns.sh CMD [ARGS...]
# Runs CMD inside a private network namespace where the suite owns
# 127.0.0.1:161 and [::1]:161 without root: loopback up, the test veth pairs,
# the fault agent's IPv6 pool on lo, QUILLON_NETNS=1 exported. Every process
# left in the namespace when CMD ends (snmpd daemons) is killed. The exit code
# is CMD's.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")

if [[ $# -eq 0 ]]; then
    echo "usage: scripts/netns.sh CMD [ARGS...]" >&2
    exit 2
fi

# Already inside: nothing to set up.
if [[ "${QUILLON_NETNS:-}" == 1 && -z "${_QUILLON_NETNS_INNER:-}" ]]; then
    exec "$@"
fi

if [[ -z "${_QUILLON_NETNS_INNER:-}" ]]; then
    for tool in unshare ip; do
        if ! command -v "$tool" >/dev/null 2>&1 && [[ ! -x /usr/sbin/$tool && ! -x /sbin/$tool ]]; then
            echo "netns.sh: '$tool' is missing; run scripts/install-deps.sh" >&2
            exit 2
        fi
    done
    export PATH=$PATH:/usr/sbin:/sbin
    export _QUILLON_NETNS_INNER=1
    if err=$(unshare --user --map-root-user --net true 2>&1); then
        exec unshare --user --map-root-user --net bash "${BASH_SOURCE[0]}" "$@"
    fi
    if [[ $EUID -eq 0 ]] && unshare --net true 2>/dev/null; then
        exec unshare --net bash "${BASH_SOURCE[0]}" "$@"
    fi
    if [[ $EUID -eq 0 ]]; then
        cat >&2 <<MSG
netns.sh: cannot create a private network namespace, even as root (${err:-unshare failed}).
This usually is a container without CAP_SYS_ADMIN or with a seccomp profile
that forbids unshare(2): run it with --privileged (or --cap-add SYS_ADMIN and
a seccomp profile that permits unshare), or run ./test.sh on the host.
MSG
        exit 2
    fi
    cat >&2 <<MSG
netns.sh: cannot create a private network namespace (${err:-unshare failed}).
Unprivileged user namespaces are disabled on this system. Either
  - run the suite as root:   sudo ./test.sh
  - or allow them, e.g.      sudo sysctl -w kernel.unprivileged_userns_clone=1            (Debian)
                             sudo sysctl -w kernel.apparmor_restrict_unprivileged_userns=0 (Ubuntu 24.04+)
                             sudo sysctl -w user.max_user_namespaces=15000
  - in a container, allow unshare(2) (for example docker run --privileged or a seccomp profile that permits it).
MSG
    exit 2
fi

# Inside the new namespace.
unset _QUILLON_NETNS_INNER
export QUILLON_NETNS=1

mynet=$(readlink /proc/self/ns/net)
sweep() {
    # Every process of this namespace except this shell: snmpd daemons and
    # whatever a killed test left behind.
    local sig=$1 p pids=()
    for p in /proc/[0-9]*; do
        p=${p#/proc/}
        [[ $p == "$$" ]] && continue
        [[ $(readlink "/proc/$p/ns/net" 2>/dev/null) == "$mynet" ]] || continue
        pids+=("$p")
    done
    ((${#pids[@]})) && kill "-$sig" "${pids[@]}" 2>/dev/null
    return 0
}
cleanup() {
    sweep TERM
    sleep 0.2
    sweep KILL
}

if ! bash "$root/tests/support/agent/netsetup.sh"; then
    echo "netns.sh: setting up the namespace network failed" >&2
    exit 2
fi

trap 'cleanup; exit 130' INT
trap 'cleanup; exit 143' TERM
set +e
"$@"
rc=$?
set -e
cleanup
exit $rc
