#!/usr/bin/env bash
# ./test.sh [CTEST ARGS...]
# Installs missing packages, configures and builds, then runs the whole CTest
# suite inside a private network namespace (scripts/netns.sh), where the
# tests own port 161 on loopback. Extra arguments go to ctest, e.g.
#   ./test.sh -R selftest        ./test.sh -L agent
# QUILLON_BUILD_DIR names another build directory (default: build).
# The exit code is ctest's.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

bash scripts/install-deps.sh

build=${QUILLON_BUILD_DIR:-build}
configure=(cmake -S . -B "$build")
# A build tree keeps the generator it was made with.
if [[ ! -f $build/CMakeCache.txt ]] && command -v ninja >/dev/null 2>&1; then
    configure+=(-G Ninja)
fi
"${configure[@]}"
cmake --build "$build" -j"$(nproc)"

exec bash scripts/netns.sh ctest --test-dir "$build" --output-on-failure -j2 "$@"
