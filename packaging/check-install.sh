#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets.
# Usage: check-install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/brennic bin/brennic-sim share/brennic/help.html \
         share/applications/org.brennic.Brennic.desktop share/metainfo/org.brennic.Brennic.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.brennic.Brennic.svg share/icons/hicolor/48x48/apps/org.brennic.Brennic.png \
         share/man/man1/brennic.1.gz share/man/man1/brennic-sim.1.gz share/mime/packages/org.brennic.Brennic.xml; do
  [ -s "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
[ "$("$prefix/bin/brennic-sim" --version)" = "brennic-sim $version" ] || { echo "wrong version"; exit 1; }
lines=$("$prefix/bin/brennic-sim" | wc -l)
[ "$lines" -eq 722 ] || { echo "the installed runner wrote $lines lines"; exit 1; }
# A file manager finds the scenario type and the program that opens it.
if command -v update-mime-database >/dev/null && command -v update-desktop-database >/dev/null; then
  update-mime-database "$prefix/share/mime" >/dev/null 2>&1
  grep -q '^50:application/x-brennic-scenario:\*\.brennic$' "$prefix/share/mime/globs2" ||
    { echo "*.brennic is not a known file type"; exit 1; }
  update-desktop-database "$prefix/share/applications"
  grep -q '^application/x-brennic-scenario=org.brennic.Brennic.desktop;$' "$prefix/share/applications/mimeinfo.cache" ||
    { echo "scenarios do not open with Brennic"; exit 1; }
fi
grep -Fqx 'Exec=brennic %f' "$prefix/share/applications/org.brennic.Brennic.desktop"
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/org.brennic.Brennic.metainfo.xml"
echo "installed tree complete"
