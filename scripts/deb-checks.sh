#!/usr/bin/env bash
# Checks the Linux package made by `cpack -G DEB`: unpacked into a scratch root,
# its files are where they belong, its desktop entry is valid, and the terminal
# program runs from it. Lintian's report is printed, not judged.
#
# usage: scripts/deb-checks.sh PACKAGE.deb
set -euo pipefail
deb="$1"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
echo "deb-checks: $(basename "$deb"): Depends: $(dpkg-deb -f "$deb" Depends)"
for file in usr/bin/quenmar usr/bin/quenmar-convert usr/share/quenmar/quenmar-info.html \
  usr/share/applications/quenmar.desktop usr/share/icons/hicolor/16x16/apps/quenmar.png \
  usr/share/icons/hicolor/32x32/apps/quenmar.png usr/share/icons/hicolor/48x48/apps/quenmar.png; do
  [ -f "$root/$file" ] || { echo "deb-checks: $file is missing" >&2; exit 1; }
done
desktop-file-validate "$root/usr/share/applications/quenmar.desktop"
grep -qx 'MimeType=application/zip;' "$root/usr/share/applications/quenmar.desktop"
[ "$("$root/usr/bin/quenmar-convert" --names 2018-10-15-abc-def-ghi.csv)" = \
  "2018-10-15-abc-def-ghi.csv -> 2018-10-abc-def-ghi-mob.csv" ]
echo "deb-checks: lintian says:"
lintian --allow-root "$deb" 2>&1 | sed 's/^/  /' || true
echo "deb-checks: passed"
