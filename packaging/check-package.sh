#!/usr/bin/env bash
# Builds the Debian package from the build tree and lets lintian judge it.
# Usage: check-package.sh BUILD_DIR LINTIAN
set -euo pipefail
build=$1 lintian=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb=$(ls "$out"/brennic_*.deb)
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Depends):'
# The scenario type and the desktop entry that opens it travel with the package.
dpkg-deb -c "$deb" | grep -q './usr/share/mime/packages/org.brennic.Brennic.xml$' || { echo "no scenario file type"; exit 1; }
unpacked="$out/tree"
dpkg-deb -x "$deb" "$unpacked"
grep -q '^MimeType=application/x-brennic-scenario;$' "$unpacked/usr/share/applications/org.brennic.Brennic.desktop" ||
  { echo "the desktop entry does not open scenarios"; exit 1; }
"$lintian" --fail-on error --suppress-tags-from-file /dev/null "$deb"
echo "lintian: no errors in $(basename "$deb")"
