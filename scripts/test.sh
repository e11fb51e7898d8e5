#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs all tests.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
impmap_install_deps
cmake --preset dev
cmake --build --preset dev -j "$(nproc)"
ctest --preset dev -j "$(nproc)"
