#!/usr/bin/env bash
# install-test.sh MODE BUILD_DIR SOURCE_DIR: an installed copy, checked from
# outside the build tree.
#   install  cmake --install into a DESTDIR; the desktop entry and AppStream
#            metadata validate; the installed program and the start-up check
#            run there (HOME and XDG folders set to empty temporary ones).
#   deb      scripts/build-deb.sh over the same build tree; the package's files
#            equal cmake --install's; unpacked with dpkg-deb -x, the same
#            start-up check runs there (HOME only: the XDG defaults).
# The start-up check is quillon_installed_check (InstalledCheck.cpp), copied
# beside the installed program for the run and removed afterwards.
set -euo pipefail
mode=$1 build=$2 src=$3

fail() { echo "install-test: FAIL: $*" >&2; exit 1; }
[[ ${QUILLON_NETNS:-} == 1 ]] || { echo "install-test: needs the private network namespace (./test.sh)"; exit 77; }

tmp=$(realpath "$(mktemp -d)")
trap 'rm -rf "$tmp"' EXIT
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# Files and links below a root, as absolute paths inside it.
file_list() { (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\./|/|' | LC_ALL=C sort); }

install_into() { DESTDIR=$1 cmake --install "$build" --prefix /usr >/dev/null; }

# startup_check ROOT XDG: XDG=set points XDG_CONFIG_HOME and XDG_DATA_HOME at
# folders of their own; XDG=default leaves them unset (~/.config, ~/.local/share).
startup_check() {
    local root=$1 xdg=$2 prefix=$1/usr
    local home=$tmp/home-$xdg work=$tmp/cwd-$xdg config data
    mkdir -p "$home" "$work"
    if [[ $xdg == set ]]; then
        config=$tmp/xdg-config-$xdg data=$tmp/xdg-data-$xdg
    else
        config=$home/.config data=$home/.local/share
    fi

    # The program itself: its libraries come through its RUNPATH alone.
    local out rc
    out=$(env -u LD_LIBRARY_PATH "$prefix/bin/quillon" --version) || fail "--version: $out"
    [[ $out == "quillon $version" ]] || fail "--version printed '$out'"
    out=$(env -u LD_LIBRARY_PATH "$prefix/bin/quillon" --help) || fail "--help"
    [[ $out == *address* && $out == *--version* ]] || fail "--help printed: $out"
    rc=0; out=$(env -u LD_LIBRARY_PATH "$prefix/bin/quillon" 192.0.2.300 2>&1) || rc=$?
    [[ $rc == 2 && $out == *"192.0.2.300"* ]] || fail "a bad address gave $rc: $out"
    local lib
    for lib in libmibcore.so libsnmpval.so; do
        out=$(env -u LD_LIBRARY_PATH ldd "$prefix/bin/quillon" | awk -v l=$lib '$1 == l { print $3 }')
        [[ -n $out && $(realpath "$out") == "$prefix/lib/quillon/$lib" ]] || fail "$lib resolves to '$out'"
    done
    for lib in "$prefix"/lib/quillon/plugins/*.so; do
        ! env -u LD_LIBRARY_PATH ldd "$lib" | grep -q 'not found' || fail "$(basename "$lib"): a library is not found"
    done

    # An operator's module, and the start-up check against the agent.
    mkdir -p "$data/quillon/mib"
    printf 'QUILLON-DROPIN-MIB DEFINITIONS ::= BEGIN\nquillonDropIn OBJECT IDENTIFIER ::= { enterprises 64999 }\nEND\n' \
        >"$data/quillon/mib/QUILLON-DROPIN-MIB.mib"
    local before
    before=$(file_list "$root")
    cp "$build/tests/quillon_installed_check" "$prefix/bin/"
    mkdir -p -m 700 "$tmp/runtime-$xdg"
    local envs=(HOME="$home" XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$tmp/runtime-$xdg" QT_QPA_PLATFORM=offscreen
                QUILLON_EXPECT_PREFIX="$prefix" QUILLON_DROPIN_NAME=quillonDropIn)
    if [[ $xdg == set ]]; then
        envs+=(XDG_CONFIG_HOME="$config" XDG_DATA_HOME="$data")
    fi
    rc=0
    (cd "$work" && env -u LD_LIBRARY_PATH -u XDG_CONFIG_HOME -u XDG_DATA_HOME "${envs[@]}" \
        "$prefix/bin/quillon_installed_check") || rc=$?
    rm -f "$prefix/bin/quillon_installed_check"
    [[ $rc == 0 ]] || fail "the start-up check of $root failed ($rc)"

    # INI files in the config folder and nowhere else; the copy unchanged.
    local stray
    stray=$(find "$home" "$work" "$root" "$tmp" -name '*.ini' ! -path "$config/quillon/*" 2>/dev/null || true)
    [[ -z $stray ]] || fail "INI files outside $config/quillon: $stray"
    [[ -f $config/quillon/agent.ini ]] || fail "no $config/quillon/agent.ini"
    [[ $(file_list "$root") == "$before" ]] || fail "the installed copy changed while it ran"
    echo "install-test: $root starts; settings in $config/quillon: $(cd "$config/quillon" && echo *)"
}

case $mode in
install)
    install_into "$tmp/root"
    apps=$tmp/root/usr/share/applications
    desktop-file-validate "$apps"/*.desktop || fail "desktop-file-validate"
    grep -q '^Name\[ja\]=' "$apps"/*.desktop || fail "no Name[ja]"
    grep -q '^Comment\[ja\]=' "$apps"/*.desktop || fail "no Comment[ja]"
    grep -q '^Categories=Network;Monitor;Qt;$' "$apps"/*.desktop || fail "Categories"
    appstreamcli validate --no-net --pedantic "$tmp"/root/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
    for f in scalable/apps/quillon.svg 48x48/apps/quillon.png 128x128/apps/quillon.png; do
        [[ -s $tmp/root/usr/share/icons/hicolor/$f ]] || fail "no icon $f"
    done
    # A PNG's width and height are the big-endian words at offsets 16 and 20.
    size=$(od -An -tu1 -j16 -N8 "$tmp/root/usr/share/icons/hicolor/48x48/apps/quillon.png" | tr -s ' ')
    [[ $size == " 0 0 0 48 0 0 0 48" ]] || fail "the 48 px icon is $size"
    startup_check "$tmp/root" set
    ;;
deb)
    deb=$(QUILLON_SKIP_DEPS=1 QUILLON_DEB_NO_BUILD=1 QUILLON_DEB_BUILD_DIR="$build" bash "$src/scripts/build-deb.sh" "$tmp/out" 2>"$tmp/build-deb.log" | tail -1) ||
        { cat "$tmp/build-deb.log" >&2; fail "build-deb.sh"; }
    [[ $(basename "$deb") == "quillon_${version}_$(dpkg --print-architecture).deb" ]] || fail "package name $deb"
    depends=$(dpkg-deb -f "$deb" Depends)
    [[ $depends == *libqt6widgets6* && $depends == *libc6* ]] || fail "Depends: $depends"
    recommends=$(dpkg-deb -f "$deb" Recommends)
    [[ $recommends == *qt6-translations-l10n* && $recommends == *fonts-noto-cjk* ]] || fail "Recommends: $recommends"
    dpkg-deb -x "$deb" "$tmp/root"
    install_into "$tmp/inst"
    diff <(file_list "$tmp/inst") <(file_list "$tmp/root") || fail "the package's files differ from cmake --install's"
    startup_check "$tmp/root" default
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
