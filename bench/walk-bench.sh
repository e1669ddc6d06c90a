#!/usr/bin/env bash
# bench/walk-bench.sh [BUILD_DIR] [SUBTREE] [ROUNDS]
# Walks SUBTREE (default mib-2, 1.3.6.1.2.1) of the suite's snmpd with the
# request engine and with snmpwalk -v1, inside the private namespace, and
# prints rows, rows per second and the ratio. Prints figures; never fails
# on them.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=$(cd "${1:-$root/build}" && pwd)
subtree=${2:-1.3.6.1.2.1}
rounds=${3:-3}

if [[ "${QUILLON_NETNS:-}" != 1 ]]; then
    exec "$root/scripts/netns.sh" bash "${BASH_SOURCE[0]}" "$build" "$subtree" "$rounds"
fi

[[ -x $build/bench/walk_bench ]] || { echo "walk-bench: build the walk_bench target first" >&2; exit 2; }

fixture=$root/tests/support/agent/fixture.sh
agentdir=$build/tests/agent
if [[ -x $build/tests/quillon-passext && -f $agentdir/snmpd.conf ]]; then
    # The suite's own agent, RMON and vendor objects included.
    bash "$fixture" start "$agentdir" "$build/tests/quillon-passext" "$root/tests/support/agent/passext.conf"
    trap 'bash "$fixture" stop "$agentdir" >/dev/null' EXIT
else
    # A plain snmpd when the fixture is not built.
    work=$(mktemp -d)
    cat >"$work/snmpd.conf" <<CONF
agentAddress udp:127.0.0.1:161,udp6:[::1]:161
rocommunity cedrus default
rocommunity6 cedrus default
CONF
    SNMP_PERSISTENT_DIR=$work snmpd -C -c "$work/snmpd.conf" -Lf "$work/log" -p "$work/pid" -M /dev/null -m '' </dev/null
    stop_plain() {
        local pid
        pid=$(cat "$work/pid" 2>/dev/null) || true
        if [[ -n $pid ]]; then
            kill "$pid" 2>/dev/null || true
            for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        fi
        rm -rf "$work"
    }
    trap stop_plain EXIT
    for _ in $(seq 50); do
        snmpget -v1 -c cedrus -M /dev/null -m '' -t 0.2 -r 0 127.0.0.1 1.3.6.1.2.1.1.3.0 >/dev/null 2>&1 && break
        sleep 0.1
    done
fi

"$build/bench/walk_bench" 127.0.0.1 "$subtree" "$rounds"
echo "(tables that change while the walks run - sockets, connections, RMON history buckets - can make the row counts differ)"
