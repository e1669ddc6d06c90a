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
    source "$here/plain-snmpd.sh"
    plain_snmpd_start 'agentAddress udp:127.0.0.1:161,udp6:[::1]:161
rocommunity cedrus default
rocommunity6 cedrus default' 50 0.2 0.1
fi

"$build/bench/walk_bench" 127.0.0.1 "$subtree" "$rounds"
echo "(tables that change while the walks run - sockets, connections, RMON history buckets - can make the row counts differ)"
