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

work=$(mktemp -d)
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
cat >"$work/snmpd.conf" <<CONF
agentAddress udp:127.0.0.1:161
rocommunity cedrus default
CONF
SNMP_PERSISTENT_DIR=$work snmpd -C -c "$work/snmpd.conf" -Lf "$work/log" -p "$work/pid" -M /dev/null -m '' </dev/null
stop() {
    local pid
    pid=$(cat "$work/pid" 2>/dev/null) || true
    if [[ -n $pid ]]; then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -rf "$work"
}
trap stop EXIT
for _ in $(seq 100); do
    snmpget -v1 -c cedrus -M /dev/null -m '' -t 0.5 -r 0 127.0.0.1 1.3.6.1.2.1.1.3.0 >/dev/null 2>&1 && break
    sleep 0.2
done
"$build/bench/if_bench" --agent=127.0.0.1
