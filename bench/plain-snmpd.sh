# Sourced by the benchmark scripts, inside the private namespace: a plain
# snmpd on 127.0.0.1 with the read community "cedrus", in a directory of its
# own, stopped and cleared when the script exits.
#
#   plain_snmpd_start CONF TRIES TIMEOUT PAUSE
# CONF: the snmpd.conf lines. Then waits until sysUpTime answers: up to
# TRIES gets of TIMEOUT seconds each, PAUSE seconds apart.

plain_snmpd_stop() {
    local pid
    pid=$(cat "$plain_snmpd_dir/pid" 2>/dev/null) || true
    if [[ -n $pid ]]; then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -rf "$plain_snmpd_dir"
}

plain_snmpd_start() {
    plain_snmpd_dir=$(mktemp -d)
    printf '%s\n' "$1" >"$plain_snmpd_dir/snmpd.conf"
    SNMP_PERSISTENT_DIR=$plain_snmpd_dir snmpd -C -c "$plain_snmpd_dir/snmpd.conf" -Lf "$plain_snmpd_dir/log" \
        -p "$plain_snmpd_dir/pid" -M /dev/null -m '' </dev/null
    trap plain_snmpd_stop EXIT
    for _ in $(seq "$2"); do
        snmpget -v1 -c cedrus -M /dev/null -m '' -t "$3" -r 0 127.0.0.1 1.3.6.1.2.1.1.3.0 >/dev/null 2>&1 && break
        sleep "$4"
    done
}
