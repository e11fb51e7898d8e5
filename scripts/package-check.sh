#!/usr/bin/env bash
# Checks a built impmap Debian package: unpacks it into a temporary folder, runs the unpacked
# impmap-cli, validates the desktop entry, the AppStream metadata and the icons, and runs lintian
# (errors fail the check, warnings are listed).
set -euo pipefail
deb=${1:?usage: package-check.sh PACKAGE.deb}
[ -f "$deb" ] || { echo "package-check: no such file $deb" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/impmap-package-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "package-check: FAILED: $*" >&2; failed=1; }

dpkg-deb -x "$deb" "$work/root"
depends=$(dpkg-deb -f "$deb" Depends)
echo "package-check: Depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libqt6network6 libqt6printsupport6 \
  qt6-qpa-plugins; do
  grep -q "\\b$lib\\b" <<< "$depends" || fail "the package does not depend on $lib"
done

forms=$("$work/root/usr/bin/impmap-cli" forms) || fail "the unpacked impmap-cli forms failed"
[ "$(wc -l <<< "$forms")" -eq 38 ] || fail "impmap-cli forms listed $(wc -l <<< "$forms") forms"
[ "$(head -1 <<< "$forms")" = $'0\tClients\t135' ] || fail "impmap-cli forms began $(head -1 <<< "$forms")"
[ -x "$work/root/usr/bin/impmap" ] || fail "no /usr/bin/impmap"

desktop=$work/root/usr/share/applications/impmap.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
grep -qx 'MimeType=application/x-impmap-map;' "$desktop" || fail "the desktop entry has no MIME type"
# A file opened from the file manager reaches the program on its command line.
grep -qx 'Exec=impmap %f' "$desktop" || fail "the desktop entry does not pass the file it opens"
metainfo=$work/root/usr/share/metainfo/org.example.impmap.metainfo.xml
if [ ! -f "$metainfo" ]; then
  fail "no AppStream metadata"
else
  appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate $metainfo"
  grep -q '<launchable type="desktop-id">impmap.desktop</launchable>' "$metainfo" ||
    fail "the AppStream metadata does not name the desktop entry"
  grep -q '<mediatype>application/x-impmap-map</mediatype>' "$metainfo" ||
    fail "the AppStream metadata does not name the map-file type"
fi
mime=$work/root/usr/share/mime/packages/impmap.xml
grep -q 'type="application/x-impmap-map"' "$mime" || fail "no MIME type in $mime"
icons=$work/root/usr/share/icons/hicolor
[ -f "$icons/scalable/apps/impmap.svg" ] || fail "no SVG icon"
for size in 16 22 24 32 48 64 128 256; do
  png=$icons/${size}x$size/apps/impmap.png
  if [ ! -f "$png" ]; then
    fail "no $size px icon"
  elif ! file "$png" | grep -q "PNG image data, $size x $size,"; then
    fail "$png: $(file -b "$png")"
  fi
done

# lintian refuses nothing as root but says so; its exit status is 1 for errors only.
lintian --no-tag-display-limit "$deb" > "$work/lintian.txt" 2>&1 || true
grep -E '^E: ' "$work/lintian.txt" && fail "lintian reports errors"
warnings=$(grep -cE '^W: ' "$work/lintian.txt" || true)
echo "package-check: lintian: $(grep -cE '^E: ' "$work/lintian.txt" || true) errors, $warnings warnings"
grep -E '^W: ' "$work/lintian.txt" || true

[ $failed -eq 0 ] && echo "package-check: $deb passed"
exit $failed
