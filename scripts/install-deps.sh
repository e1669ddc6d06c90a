#!/usr/bin/env bash
# scripts/install-deps.sh: installs the Debian packages that Quillon needs to
# build, test and run, and nothing when they are all there (one dpkg-query).
# Works on a fresh Debian with nothing but bash and apt-get; uses sudo when
# not run as root. QUILLON_SKIP_DEPS=1 skips the check (offline machines).
set -euo pipefail

# The one list of what the project needs.
REQUIRED=(
    # build
    build-essential g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-translations-l10n qt6-l10n-tools libgtest-dev libgmock-dev libbenchmark-dev
    # OpenSSL's libcrypto: SNMPv3 hashes, HMAC and AES
    libssl-dev
    # net-snmp's library, linked only by a benchmark as the codec to beat
    libsnmp-dev
    # the test agent and net-snmp's tools as the oracle
    snmpd snmp libsnmp-base
    # the private network namespace
    iproute2 util-linux procps
    # running the program and taking screenshots
    xvfb xauth fonts-noto-cjk imagemagick x11-utils xdg-utils
    # the installed copy: icon rendering, the .deb and its checks
    librsvg2-bin gzip dpkg-dev desktop-file-utils appstream lintian
)
# Nice to have (the fuzz targets); a failure to install them is only reported.
OPTIONAL=(clang)

if [[ "${QUILLON_SKIP_DEPS:-}" == 1 ]]; then
    echo "install-deps: skipped (QUILLON_SKIP_DEPS=1)"
    exit 0
fi

# Prints the packages of "$@" that are not installed (one dpkg-query call).
missing() {
    local -A have=()
    local status name p
    while read -r status name; do
        [[ $status == ii* ]] && have[$name]=1
    done < <(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "$@" 2>/dev/null || true)
    for p in "$@"; do
        [[ -n ${have[$p]:-} ]] || echo "$p"
    done
}

mapfile -t need < <(missing "${REQUIRED[@]}")
mapfile -t want < <(missing "${OPTIONAL[@]}")
if ((${#need[@]} == 0 && ${#want[@]} == 0)); then
    echo "install-deps: all packages present"
    exit 0
fi

if ! command -v apt-get >/dev/null 2>&1; then
    echo "install-deps: apt-get not found; install these packages by hand: ${need[*]} ${want[*]}" >&2
    exit 1
fi
SUDO=()
if [[ $EUID -ne 0 ]]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO=(sudo)
    else
        echo "install-deps: missing packages (${need[*]} ${want[*]}) and neither root nor sudo; run as root: apt-get install ${need[*]}" >&2
        exit 1
    fi
fi

echo "install-deps: installing ${need[*]} ${want[*]}"
export DEBIAN_FRONTEND=noninteractive
# Installing snmpd must not start its system service: keep every service
# down during this run unless the administrator has a policy of their own.
policy=/usr/sbin/policy-rc.d
made_policy=0
if [[ ! -e $policy ]]; then
    printf '#!/bin/sh\n# temporary, from Quillon install-deps.sh\nexit 101\n' | "${SUDO[@]}" tee "$policy" >/dev/null
    "${SUDO[@]}" chmod 755 "$policy"
    made_policy=1
fi
cleanup() { ((made_policy)) && "${SUDO[@]}" rm -f "$policy"; return 0; }
trap cleanup EXIT

"${SUDO[@]}" apt-get update -q
if ((${#need[@]})); then
    "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${need[@]}"
fi
if ((${#want[@]})); then
    "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${want[@]}" ||
        echo "install-deps: optional packages not installed: ${want[*]} (only the fuzz targets need them)" >&2
fi

mapfile -t still < <(missing "${REQUIRED[@]}")
if ((${#still[@]})); then
    echo "install-deps: still missing after apt-get: ${still[*]}" >&2
    exit 1
fi
echo "install-deps: done"
