#!/usr/bin/env bash
# ./run.sh: installs what is missing, builds, starts the demo agent (a
# private snmpd on 127.0.0.1:1161) and the program from the build tree.
# The agent stops when the program ends. In the agent dialog type 127.0.0.1.
#   QUILLON_BUILD_DIR   build directory (default: build)
#   QUILLON_NO_AGENT=1  do not start the demo agent (monitor a real one on 161)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${QUILLON_BUILD_DIR:-$root/build}
[[ $build == /* ]] || build=$root/$build
export QUILLON_BUILD_DIR=$build

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    cat >&2 <<'MSG'
run.sh: there is no display to show the program on.
  - on a desktop, run it from a terminal of that desktop session;
  - over ssh, connect with X forwarding (ssh -X) or set DISPLAY, e.g. DISPLAY=:0;
  - without any display, use a virtual one:  xvfb-run -s '-screen 0 1280x1024x24' ./run.sh
MSG
    exit 1
fi

bash "$root/scripts/install-deps.sh"

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
jobs=$(nproc 2>/dev/null || echo 2)
cmake --build "$build" -j"$jobs"

agent_started=
if [[ "${QUILLON_NO_AGENT:-}" != 1 ]]; then
    bash "$root/scripts/demo-agent.sh" start
    agent_started=1
    export QUILLON_SNMP_PORT=1161
fi

stop_agent() {
    if [[ -n $agent_started ]]; then
        bash "$root/scripts/demo-agent.sh" stop || true
        agent_started=
    fi
}
trap stop_agent EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

echo "run.sh: starting Quillon; in the agent dialog type the address 127.0.0.1"
cd "$build"
set +e
./quillon "$@"
rc=$?
set -e
exit $rc
