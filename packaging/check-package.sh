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
"$lintian" --fail-on error --suppress-tags-from-file /dev/null "$deb"
echo "lintian: no errors in $(basename "$deb")"
