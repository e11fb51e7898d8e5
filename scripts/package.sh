#!/usr/bin/env bash
# Builds the Debian package of impmap (the desktop program and the batch command) and checks it
# with scripts/package-check.sh. The package is left in the build folder: build-package/ unless
# IMPMAP_PACKAGE_BUILD names another.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
impmap_install_deps librsvg2-bin dpkg-dev desktop-file-utils lintian appstream
build=${IMPMAP_PACKAGE_BUILD:-build-package}
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2
start=$SECONDS
cmake -S . -B "$build" -G Ninja -DIMPMAP_WERROR=ON "${launcher[@]}" > /dev/null
cmake --build "$build" -j "$jobs" --target impmap impmap-cli impmap_icons impmap_changelog impmap_man_pages
rm -f "$build"/impmap_*.deb
(cd "$build" && cpack -G DEB > cpack.log) || {
  cat "$build/cpack.log"
  echo "package: cpack failed" >&2
  exit 1
}
deb=$(ls "$build"/impmap_*.deb)
echo "package: $deb built in $((SECONDS - start)) s"
exec bash scripts/package-check.sh "$deb"
