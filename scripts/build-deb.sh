#!/usr/bin/env bash
# scripts/build-deb.sh [OUTDIR]: builds quillon_<version>_<arch>.deb from this
# clone into OUTDIR (default: the repository root), with the layout of
# cmake --install --prefix /usr. Depends come from dpkg-shlibdeps.
#   QUILLON_DEB_BUILD_DIR  build directory (default: build-deb, Release);
#                          an existing build tree (e.g. build) is reused as is
#   QUILLON_DEB_NO_BUILD=1 pack the build directory as it is (the suite's
#                          test, which runs after the build)
#   QUILLON_SKIP_DEPS=1    do not run scripts/install-deps.sh
# Prints the path of the package on its last line.
set -euo pipefail
umask 022

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLON_DEB_BUILD_DIR:-$root/build-deb}
[[ $build == /* ]] || build=$root/$build
out=${1:-$root}
mkdir -p "$out"
out=$(cd "$out" && pwd)

bash "$root/scripts/install-deps.sh" >&2

if [[ ${QUILLON_DEB_NO_BUILD:-} != 1 ]]; then
    if [[ ! -f $build/CMakeCache.txt ]]; then
        # Debian's hardening flags (fortify, stack protector, relro, bindnow).
        export DEB_BUILD_MAINT_OPTIONS=hardening=+all
        ldflags=$(dpkg-buildflags --get LDFLAGS)
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
            -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" \
            -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" >&2
    fi
    # Only what is installed: the tests and benchmarks are not built.
    cmake --build "$build" --target quillon_installables -j"$(nproc 2>/dev/null || echo 2)" >&2
fi

# The one version: project(VERSION) of CMakeLists.txt, as the build saw it.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n $version ]] || { echo "build-deb: no project version in $build/CMakeCache.txt" >&2; exit 1; }
arch=$(dpkg --print-architecture)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# dpkg-shlibdeps knows the libraries below debian/<package> as the
# package's own, so the private ones in /usr/lib/quillon need no shlibs file.
pkg=$work/debian/quillon
DESTDIR=$pkg cmake --install "$build" --prefix /usr --strip >&2
mapfile -t elves < <(find "$pkg/usr" -type f \( -path '*/bin/*' -o -name '*.so' \) | sort)
# What dh_strip would also drop: the compilers' notes.
strip --remove-section=.comment --remove-section=.note "${elves[@]}"

mkdir -p "$work/debian" "$pkg/DEBIAN"
cat >"$work/debian/control" <<CONTROL
Source: quillon

Package: quillon
Architecture: any
CONTROL
# Our private libraries carry no version in their names; that is expected.
(cd "$work" && dpkg-shlibdeps -O "${elves[@]}" 2> >(grep -v "can't extract name and version" >&2)) >"$work/substvars"
shlibs=$(sed -n 's/^shlibs:Depends=//p' "$work/substvars")
[[ -n $shlibs ]] || { echo "build-deb: dpkg-shlibdeps gave no Depends" >&2; exit 1; }

# Qt finds its window-system plug-ins at run time: no library names them.
depends="$shlibs, qt6-qpa-plugins"
installed_kb=$(du -sk --exclude=DEBIAN "$pkg" | cut -f1)
cat >"$pkg/DEBIAN/control" <<CONTROL
Package: quillon
Version: $version
Architecture: $arch
Maintainer: The Quillon developers <support@quillon.example.org>
Installed-Size: $installed_kb
Depends: $depends
Recommends: qt6-translations-l10n, fonts-noto-cjk, xdg-utils
Section: net
Priority: optional
Homepage: https://quillon.example.org/
Description: desktop SNMP monitoring tool
 Quillon watches one SNMP version 1 agent at a time (IPv4 or IPv6): time
 graphs of the MIB-II ip, icmp, tcp, udp and snmp counters and of Foundry
 and Cisco CPU gauges, the interface, address, route and RMON tables with
 traffic graphs, graphs of objects of the operator's choice, and a browser
 that walks any subtree of the agent against the loaded MIB modules.
 .
 The windows have Japanese texts. Settings are kept per user in
 ~/.config/quillon; MIB modules placed in ~/.local/share/quillon/mib are
 loaded beside those in /usr/share/quillon/mib.
CONTROL
(cd "$pkg" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$pkg/DEBIAN/md5sums"
chmod 644 "$pkg/DEBIAN/control" "$pkg/DEBIAN/md5sums"

deb=$out/quillon_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$pkg" "$deb" >&2
echo "$deb"
