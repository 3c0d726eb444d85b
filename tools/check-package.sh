#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks that it holds the programs, the desktop
# entry, the icon and the help document, with its dependencies declared.
# Usage: tools/check-package.sh BUILD_DIR
set -euo pipefail
build="${1:?build directory}"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb="$(ls "$out"/tarquel_*.deb)"
contents="$(dpkg-deb -c "$deb")"
status=0
for path in ./usr/bin/tarquel ./usr/bin/tarquel-cli ./usr/bin/tarquel-unitsim \
    ./usr/share/applications/tarquel.desktop \
    ./usr/share/icons/hicolor/scalable/apps/tarquel.svg \
    "./usr/share/doc/tarquel/Tarquel Help.html"; do
    if ! grep -qF -- " $path" <<<"$contents"; then
        echo "missing from $(basename "$deb"): $path"
        status=1
    fi
done
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libqt6serialport6 qt6-qpa-plugins; do
    grep -qw "$lib" <<<"$depends" || { echo "not a declared dependency: $lib"; status=1; }
done
[ "$status" -eq 0 ] && echo "$(basename "$deb"): programs, desktop entry, icon and help document present"
exit "$status"
