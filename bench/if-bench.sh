#!/usr/bin/env bash
# bench/if-bench.sh [BUILD_DIR] [PAIRS] [ROUTES]
# Opens the interface tables' five walks against an snmpd of a private
# namespace holding PAIRS veth pairs (2 x PAIRS interfaces, default 500)
# and ROUTES extra routes (default 5000), and prints wall time against our
# own CPU time, after the cell and sort benchmark. Prints figures; never
# fails on them.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=$(cd "${1:-$root/build}" && pwd)
pairs=${2:-500}
routes=${3:-5000}

if [[ "${QUILLON_NETNS:-}" != 1 ]]; then
    exec "$root/scripts/netns.sh" bash "${BASH_SOURCE[0]}" "$build" "$pairs" "$routes"
fi
[[ -x $build/bench/if_bench ]] || { echo "if-bench: build the if_bench target first" >&2; exit 2; }

{
    for i in $(seq 1 "$pairs"); do
        echo "link add qb$i type veth peer name qc$i"
        echo "link set qb$i up"
        echo "link set qc$i up"
    done
    echo "addr add 10.128.0.1/9 dev qb1"
    for i in $(seq 1 "$routes"); do
        echo "route add 10.$(( (i >> 8) & 127 )).$(( i & 255 )).0/24 via 10.128.0.2 dev qb1"
    done
} | ip -batch - >/dev/null
source "$here/plain-snmpd.sh"
plain_snmpd_start 'agentAddress udp:127.0.0.1:161
rocommunity cedrus default' 100 0.5 0.2
"$build/bench/if_bench" --agent=127.0.0.1
