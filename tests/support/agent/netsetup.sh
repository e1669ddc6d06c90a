#!/usr/bin/env bash
# Network of the private test namespace. Idempotent: safe to run again.
#   lo        127.0.0.1/8, ::1, 2001:db8:ffff::1 to ::16 for the fault agent,
#             2001:db8:fffe::1 to ::a for extra agents (harness::AgentProcess)
#   qv0/qv1   192.0.2.1/25, 192.0.2.129/25, 2001:db8:1::1/64, 2001:db8:1::2/64
#   qv2/qv3   198.51.100.1/24, 203.0.113.1/24, 2001:db8:2::1/64, 2001:db8:3::1/64
#   default route via 192.0.2.2 (qv0)
set -euo pipefail

if [[ "${QUILLON_NETNS:-}" != 1 && "${1:-}" != --force ]]; then
    echo "netsetup.sh: refusing to change the network outside the private namespace" >&2
    exit 2
fi

ip link set lo up
for pair in "qv0 qv1" "qv2 qv3"; do
    set -- $pair
    ip link show "$1" >/dev/null 2>&1 || ip link add "$1" type veth peer name "$2"
done
{
    for dev in qv0 qv1 qv2 qv3; do echo "link set $dev up"; done
    echo "addr replace 192.0.2.1/25 dev qv0"
    echo "addr replace 192.0.2.129/25 dev qv1"
    echo "addr replace 198.51.100.1/24 dev qv2"
    echo "addr replace 203.0.113.1/24 dev qv3"
    echo "addr replace 2001:db8:1::1/64 dev qv0 nodad"
    echo "addr replace 2001:db8:1::2/64 dev qv1 nodad"
    echo "addr replace 2001:db8:2::1/64 dev qv2 nodad"
    echo "addr replace 2001:db8:3::1/64 dev qv3 nodad"
    echo "route replace default via 192.0.2.2 dev qv0"
    # Covers ::1..::16 read as hexadecimal (and so as decimal text too).
    for i in $(seq 1 22); do printf -- 'addr replace 2001:db8:ffff::%x/128 dev lo nodad\n' "$i"; done
    for i in $(seq 1 10); do printf -- 'addr replace 2001:db8:fffe::%x/128 dev lo nodad\n' "$i"; done
} | ip -batch -
