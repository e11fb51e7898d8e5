#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
impmap_install_deps
cmake --preset dev
cmake --build --preset dev -j "$(nproc)"
if [ -x build/src/app/impmap ]; then
  exec build/src/app/impmap "$@"
fi
exec build/src/cli/impmap-cli run examples/example1099NEC.MAP --source examples/EXAMPLE_SOURCE.TXT "$@"
