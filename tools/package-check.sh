#!/usr/bin/env bash
# Checks the desktop integration and the Debian package of a built folder (build/ unless
# given): the desktop entry and the metainfo with their validators, the metainfo's newest
# release against the project's version, then makes the package with cpack and checks its
# file list and its Depends line. Run by test.sh on Debian and Ubuntu.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=org.velmora.Velmora
metainfo=src/app/resources/$id.metainfo.xml

fail() {
    echo "Package check failed: $*" >&2
    exit 1
}

desktop-file-validate src/app/resources/$id.desktop
appstreamcli validate --no-net "$metainfo"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
release=$(grep -m1 -o '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[ "$release" = "$version" ] || fail "the newest release in $metainfo is $release, not $version"

deb=$build/velmora_${version}_$(dpkg --print-architecture).deb
rm -f "$deb"
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; fail "cpack"; }
[ -f "$deb" ] || fail "cpack made no $deb"

expected=(./usr/bin/velmora ./usr/share/applications/$id.desktop
          ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/$id.svg)
for size in 16 24 32 48 64 128 256 512; do
    expected+=(./usr/share/icons/hicolor/${size}x$size/apps/$id.png)
done
diff -u <(printf '%s\n' "${expected[@]}" | sort) \
        <(dpkg-deb -c "$deb" | awk '$6 !~ /\/$/ { print $6 }' | sort) ||
    fail "$deb holds other files than expected (- missing, + unexpected)"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libqt6widgets6 fonts-dejavu-core qt6-qpa-plugins; do
    [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] ||
        fail "$package missing from Depends: $depends"
done
echo "Package check: $deb passed, Depends: $depends"
