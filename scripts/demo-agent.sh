#!/usr/bin/env bash
# scripts/demo-agent.sh start|stop|status
# A private snmpd for trying the program without a network device: the test
# agent's configuration and extension helper, in the host's namespace on
# 127.0.0.1:1161 (and [::1]:1161 when the host has IPv6), no root needed.
# State lives in BUILD/demo-agent (BUILD = $QUILLON_BUILD_DIR or build).
# Point the program at it with QUILLON_SNMP_PORT=1161.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${QUILLON_BUILD_DIR:-$root/build}
[[ $build == /* ]] || build=$root/$build
port=${QUILLON_DEMO_PORT:-1161}
dir=$build/demo-agent
pidfile=$dir/snmpd.pid
passext=$build/tests/quillon-passext
export PATH=$PATH:/usr/sbin:/sbin

running_pid() {
    local pid
    [[ -s $pidfile ]] || return 1
    pid=$(<"$pidfile")
    [[ $pid =~ ^[0-9]+$ ]] && kill -0 "$pid" 2>/dev/null || return 1
    [[ $(cat "/proc/$pid/comm" 2>/dev/null) == snmpd ]] || return 1
    echo "$pid"
}

answers() {
    snmpget -v1 -c cedrus -On -M /dev/null -m '' -t 0.3 -r 0 "$1" 1.3.6.1.2.1.1.3.0 >/dev/null 2>&1
}

start() {
    if pid=$(running_pid); then
        echo "demo agent already running (pid $pid) on 127.0.0.1:$port"
        return 0
    fi
    command -v snmpd >/dev/null 2>&1 || { echo "demo-agent: snmpd is missing; run scripts/install-deps.sh" >&2; exit 1; }
    if [[ ! -x $passext ]]; then
        if [[ -f $build/CMakeCache.txt ]]; then
            cmake --build "$build" --target quillon-passext >/dev/null
        else
            echo "demo-agent: $passext is not built; build the project first (./test.sh or cmake)" >&2
            exit 1
        fi
    fi
    mkdir -p "$dir/persist"
    addresses="udp:127.0.0.1:$port"
    shown="127.0.0.1:$port"
    if ip -6 addr show dev lo 2>/dev/null | grep -q 'inet6 ::1/'; then
        addresses+=",udp6:[::1]:$port"
        shown+=" and [::1]:$port"
    fi
    { cat "$root/tests/support/agent/demo-passext.conf"; echo "origin $(date +%s)"; } >"$dir/passext.conf"
    "$passext" --check "$dir/passext.conf" || { echo "demo-agent: $dir/passext.conf has errors" >&2; exit 1; }
    sed -e "s#@AGENT_ADDRESSES@#$addresses#" -e "s#@PASSEXT@#$passext#g" -e "s#@PASSEXT_CONF@#$dir/passext.conf#g" \
        "$root/tests/support/agent/snmpd.conf.in" >"$dir/snmpd.conf"
    SNMP_PERSISTENT_DIR=$dir/persist MIBS= MIBDIRS=/dev/null \
        snmpd -C -c "$dir/snmpd.conf" -Lf "$dir/snmpd.log" -p "$pidfile" -M /dev/null -m '' </dev/null
    for _ in $(seq 50); do
        if answers "127.0.0.1:$port"; then
            echo "demo agent running (pid $(running_pid)) on $shown: read community cedrus, write community quillon-rw"
            return 0
        fi
        sleep 0.1
    done
    echo "demo-agent: snmpd did not answer on 127.0.0.1:$port; its log ($dir/snmpd.log):" >&2
    tail -n 20 "$dir/snmpd.log" >&2 || true
    stop >/dev/null
    exit 1
}

stop() {
    local pid
    if pid=$(running_pid); then
        kill -TERM "$pid"
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
        echo "demo agent stopped"
    else
        echo "demo agent not running"
    fi
    rm -f "$pidfile"
}

case ${1:-} in
start) start ;;
stop) stop ;;
status)
    if pid=$(running_pid); then echo "demo agent running (pid $pid) on 127.0.0.1:$port"; else echo "demo agent not running"; exit 3; fi
    ;;
*)
    echo "usage: scripts/demo-agent.sh start|stop|status" >&2
    exit 2
    ;;
esac
